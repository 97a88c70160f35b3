// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/SealedRows.h"

#include "store/RecordText.h"
#include "store/tables/Vetis.h"

#include <sodium.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>

namespace store::sealed {

namespace {

constexpr char kKdfContext[crypto_kdf_CONTEXTBYTES + 1] = "zanvoset";

// The interactive limits keep opening the file fast; the password is fixed in
// the program, so a costlier derivation would buy little.
constexpr unsigned long long kOpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr std::size_t kMemLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;

std::atomic<std::uint64_t> derivations{0};

bool ensureSodium()
{
    static const bool ok = sodium_init() >= 0;
    return ok;
}

std::string toHex(const unsigned char* data, std::size_t n)
{
    std::string hex(n * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), data, n);
    hex.resize(n * 2);
    return hex;
}

[[nodiscard]] bool fromHex(std::string_view hex, unsigned char* out, std::size_t n)
{
    std::size_t len = 0;
    return sodium_hex2bin(out, n, hex.data(), hex.size(), nullptr, &len, nullptr) == 0 && len == n &&
           hex.size() == n * 2;
}

} // namespace

std::string_view keyValue(const TableDef& def, const char* record)
{
    const FieldDef& f = def.fields[def.keys[0].components[0]];
    const std::string_view raw(record + f.offset, f.size);
    return f.type == FieldType::ZText ? raw.substr(0, std::min(raw.find('\0'), raw.size())) : clip(raw);
}

std::string newSalt()
{
    ensureSodium();
    unsigned char salt[crypto_pwhash_SALTBYTES];
    randombytes_buf(salt, sizeof salt);
    return toHex(salt, sizeof salt);
}

bool isValidSalt(std::string_view hexSalt)
{
    unsigned char salt[crypto_pwhash_SALTBYTES];
    return fromHex(hexSalt, salt, sizeof salt);
}

const Keys* keysForSalt(std::string_view hexSalt)
{
    if (!ensureSodium())
        return nullptr;
    // The derivation costs a noticeable fraction of a second; every thread that
    // uses the file shares the result. Entries live as long as the process.
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<Keys>, std::less<>> cache;
    std::lock_guard lock(mutex);
    if (auto it = cache.find(hexSalt); it != cache.end())
        return it->second.get();

    unsigned char salt[crypto_pwhash_SALTBYTES];
    if (!fromHex(hexSalt, salt, sizeof salt))
        return nullptr;
    unsigned char master[crypto_kdf_KEYBYTES];
    ++derivations;
    if (crypto_pwhash(master, sizeof master, kVetisOwnerPassword.data(), kVetisOwnerPassword.size(), salt,
                      kOpsLimit, kMemLimit, crypto_pwhash_ALG_ARGON2ID13) != 0)
        return nullptr;
    auto keys = std::make_unique<Keys>();
    crypto_kdf_derive_from_key(keys->hashKey.data(), keys->hashKey.size(), 1, kKdfContext, master);
    crypto_kdf_derive_from_key(keys->sealKey.data(), keys->sealKey.size(), 2, kKdfContext, master);
    sodium_memzero(master, sizeof master);
    const Keys* result = keys.get();
    cache.emplace(std::string(hexSalt), std::move(keys));
    return result;
}

std::uint64_t derivationCount()
{
    return derivations.load();
}

KeyHash keyHash(const Keys& keys, std::string_view clippedGuid)
{
    KeyHash out;
    crypto_generichash(out.data(), out.size(), reinterpret_cast<const unsigned char*>(clippedGuid.data()),
                       clippedGuid.size(), keys.hashKey.data(), keys.hashKey.size());
    return out;
}

bool seal(const Keys& keys, const KeyHash& hash, const char* record, std::size_t length,
          std::vector<unsigned char>& out)
{
    constexpr std::size_t nonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
    constexpr std::size_t tagBytes = crypto_aead_xchacha20poly1305_ietf_ABYTES;
    out.assign(nonceBytes + length + tagBytes, 0);
    randombytes_buf(out.data(), nonceBytes);
    unsigned long long written = 0;
    if (crypto_aead_xchacha20poly1305_ietf_encrypt(
            out.data() + nonceBytes, &written, reinterpret_cast<const unsigned char*>(record), length,
            hash.data(), hash.size(), nullptr, out.data(), keys.sealKey.data()) != 0 ||
        written != length + tagBytes) {
        out.clear();
        return false;
    }
    return true;
}

bool unseal(const Keys& keys, const unsigned char* keyHash, std::size_t keyHashLength,
            const unsigned char* sealed, std::size_t sealedLength, char* record, std::size_t length)
{
    constexpr std::size_t nonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
    constexpr std::size_t tagBytes = crypto_aead_xchacha20poly1305_ietf_ABYTES;
    if (!sealed || sealedLength != nonceBytes + length + tagBytes || keyHashLength != kHashBytes)
        return false;
    unsigned long long plainLength = 0;
    return crypto_aead_xchacha20poly1305_ietf_decrypt(
               reinterpret_cast<unsigned char*>(record), &plainLength, nullptr, sealed + nonceBytes,
               sealedLength - nonceBytes, keyHash, keyHashLength, sealed, keys.sealKey.data()) == 0 &&
           plainLength == length;
}

} // namespace store::sealed
