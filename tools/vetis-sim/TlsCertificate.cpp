// SPDX-License-Identifier: LicenseRef-Kestrom
#include "TlsCertificate.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <ctime>
#include <memory>

namespace vetissim {
namespace {

struct PkeyFree
{
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct X509Free
{
    void operator()(X509* cert) const { X509_free(cert); }
};
struct FileClose
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

[[nodiscard]] bool addExtension(X509* cert, int nid, const char* value)
{
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    if (!ext)
        return false;
    const bool ok = X509_add_ext(cert, ext, -1) == 1;
    X509_EXTENSION_free(ext);
    return ok;
}

} // namespace

bool writeSelfSignedCertificate(const std::string& folder, std::string& certPath, std::string& keyPath,
                                std::string* error)
{
    auto fail = [&](const char* what) {
        if (error)
            *error = what;
        return false;
    };
    std::unique_ptr<EVP_PKEY, PkeyFree> key(EVP_EC_gen("P-256"));
    if (!key)
        return fail("cannot generate the key");
    std::unique_ptr<X509, X509Free> cert(X509_new());
    if (!cert)
        return fail("cannot create the certificate");
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), static_cast<long>(std::time(nullptr)));
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 7L * 24 * 3600);
    X509_set_pubkey(cert.get(), key.get());
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("localhost"),
                               -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("vetis-sim"),
                               -1, -1, 0);
    X509_set_issuer_name(cert.get(), name);
    if (!addExtension(cert.get(), NID_basic_constraints, "critical,CA:TRUE") ||
        !addExtension(cert.get(), NID_key_usage, "critical,digitalSignature,keyCertSign") ||
        !addExtension(cert.get(), NID_ext_key_usage, "serverAuth") ||
        !addExtension(cert.get(), NID_subject_key_identifier, "hash") ||
        !addExtension(cert.get(), NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1"))
        return fail("cannot add the certificate extensions");
    if (X509_sign(cert.get(), key.get(), EVP_sha256()) <= 0)
        return fail("cannot sign the certificate");

    certPath = folder + "/vetis-sim-cert.pem";
    keyPath = folder + "/vetis-sim-key.pem";
    std::unique_ptr<std::FILE, FileClose> certFile(std::fopen(certPath.c_str(), "wb"));
    if (!certFile || PEM_write_X509(certFile.get(), cert.get()) != 1)
        return fail("cannot write the certificate file");
    std::unique_ptr<std::FILE, FileClose> keyFile(std::fopen(keyPath.c_str(), "wb"));
    if (!keyFile ||
        PEM_write_PrivateKey(keyFile.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1)
        return fail("cannot write the key file");
    return true;
}

} // namespace vetissim
