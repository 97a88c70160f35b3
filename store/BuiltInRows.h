// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <span>
#include <string>
#include <string_view>

// The two Mercury dictionaries the program carries instead of fetching them:
// the product types (kind 11) and the package types (kind 14). Texts are
// UTF-8 here; the tables store them in Windows-1251.
namespace store {

constexpr int kProductTypeKind = 11;
constexpr int kPackageTypeKind = 14;

struct PackageTypeRow
{
    const char* code; // two characters, the packing code (dt:globalID)
    const char* name;
    const char* guid; // empty: derived from the code
    const char* uuid; // empty: derived from the code
};

// The 364 package types, ascending by name.
std::span<const PackageTypeRow> packageTypeRows();

// The GUID of a package type's packing type and of its version. Rows that do
// not carry them get name-based (version 5) UUIDs of the code under a
// namespace of this program's own, so every installation writes the same
// values and marks survive a rebuild.
std::string builtInPackageGuid(const PackageTypeRow& row);
std::string builtInPackageUuid(const PackageTypeRow& row);

// The name of product type `number` (1..8); empty outside that range.
std::string_view productTypeName(int number);
// The GUID of product type `number`: "11-" and the number as two digits.
std::string productTypeGuid(int number);

} // namespace store
