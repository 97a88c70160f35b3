// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <string>

namespace vetissim {

// Writes a fresh self-signed certificate for "localhost" and 127.0.0.1 and its
// private key as PEM files into folder. The certificate is its own authority,
// so a client can take the certificate file as its CA bundle.
[[nodiscard]] bool writeSelfSignedCertificate(const std::string& folder, std::string& certPath,
                                              std::string& keyPath, std::string* error);

} // namespace vetissim
