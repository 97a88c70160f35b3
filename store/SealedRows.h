// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The sealing of the access-settings rows. The file's key is derived from the
// owner password and the file's random salt (Argon2id); from it come two
// subkeys: one for the keyed hash that finds a row by its GUID, one for the
// authenticated encryption of the whole record (XChaCha20-Poly1305, a random
// nonce per write, the row's keyed hash as associated data so that a sealed
// record cannot be moved to another row). Nothing of a record is readable in
// the file without the password.
namespace store::sealed {

constexpr std::size_t kHashBytes = 32;
using KeyHash = std::array<unsigned char, kHashBytes>;

struct Keys
{
    std::array<unsigned char, 32> hashKey;
    std::array<unsigned char, 32> sealKey;
};

// The value a sealed record is found by: its key field (the only component of
// the table's first key), without padding.
std::string_view keyValue(const TableDef& def, const char* record);

// A fresh random salt for a new file, as hex.
std::string newSalt();
[[nodiscard]] bool isValidSalt(std::string_view hexSalt);

// The keys of a file with this salt, derived once per process and salt;
// nullptr when the derivation fails (out of memory).
const Keys* keysForSalt(std::string_view hexSalt);
// How many derivations this process has run (the cost the program avoids
// paying before a sealed record is actually needed).
std::uint64_t derivationCount();

KeyHash keyHash(const Keys& keys, std::string_view clippedGuid);

// out = nonce || ciphertext || tag. False (out empty) when the record cannot
// be sealed; nothing of it may be written then.
[[nodiscard]] bool seal(const Keys& keys, const KeyHash& hash, const char* record, std::size_t length,
                        std::vector<unsigned char>& out);

// False when the row is not authentic (damaged, or sealed under another key or
// for another row) or not of the record's length.
[[nodiscard]] bool unseal(const Keys& keys, const unsigned char* keyHash, std::size_t keyHashLength,
                          const unsigned char* sealed, std::size_t sealedLength, char* record,
                          std::size_t length);

} // namespace store::sealed
