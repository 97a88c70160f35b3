// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"
#include "xmltypes/XmlTypes.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The XML of one table's records, read and written field by field through the
// type descriptions of the xmltypes library:
//
//     <?xml version="1.0" encoding="UTF-8"?>
//     <table name="m_VSD" version="3">
//      <record><UUID>...</UUID><STATUS>2</STATUS>...</record>
//     </table>
//
// One <record> per record, every field as an element named by the field's
// name without the table prefix, in dictionary order. Texts are UTF-8
// converted from the records' Windows-1251: text(n) without its padding
// blanks, ztext up to its terminator; '&', '<', '>', control characters and
// a leading blank are character references, so that a value reads back
// byte for byte. Numbers are plain decimals. The file is written by this
// program for this program: it need not be read by anything else.
namespace cli {

class TableXmlWriter
{
public:
    explicit TableXmlWriter(const store::TableDef& table);

    void begin(std::string& out) const;
    // Appends one record (table().recordLength bytes).
    void record(const char* data, std::string& out);
    void end(std::string& out) const;

private:
    const store::TableDef& m_table;
    xmltypes::XMLFILEINFO m_info;
};

// Reads the XML of `table` into whole records, laid one after another. False,
// with `error` naming the record, field and value that were wrong, when the
// document is not the XML of this table or a value does not fit its field.
// Fields a record leaves out stay blank.
[[nodiscard]] bool readTableXml(const store::TableDef& table, std::string_view xml,
                                std::vector<char>& records, std::string& error);

} // namespace cli
