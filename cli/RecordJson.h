// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <QJsonObject>
#include <string>

// Records filled from JSON objects whose keys are the field names of a table
// ("MVS:APIKEY", "MVD:UUID", ...). Texts are UTF-8; numbers may be JSON numbers
// or decimal texts; a date field (i32) also takes "yyyy-mm-dd".
namespace cli {

// Clears nothing: the caller starts from a cleared record. False with a
// message naming the field when a key is no field of the table or its value
// does not fit.
bool fillRecordFromJson(const store::TableDef& table, char* record, const QJsonObject& object,
                        std::string& error);

// Reads a JSON document from a file ("-" for standard input).
bool readJsonFile(const std::string& path, QJsonObject& out, std::string& error);

} // namespace cli
