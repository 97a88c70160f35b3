// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "xmltypes/XmlTypes.h"

#include <string>

namespace xmltypes {

// The structure of a record from a field dictionary whose entries have a
// name, a store type, a size and an offset: a table's or a response list's.
// Throws std::bad_alloc when memory runs out.
template <typename FieldDefs>
Structure structureOf(const FieldDefs& defs, std::uint32_t length)
{
    Structure d;
    d.length = length;
    d.fields.reserve(defs.size());
    for (const auto& def : defs) {
        FieldEntry f;
        f.label = std::string(def.name);
        f.type = typeCodeOf(def.type);
        f.size = def.size;
        f.bytes = def.size;
        f.offset = def.offset;
        d.fields.push_back(std::move(f));
    }
    return d;
}

} // namespace xmltypes
