// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/ResponseList.h"

#include <span>
#include <string_view>

// The response lists by kind, as the command line names them.
namespace responses {

struct ListKind
{
    std::string_view name;  // "vsd", "country", ..., "enterprise"
    const ListLayout* main; // the main list
    bool withVsdContents;   // the nine contents lists follow (VSD answers)
};

std::span<const ListKind> listKinds();
// The kind of that name; null when unknown.
const ListKind* findListKind(std::string_view name);

} // namespace responses
