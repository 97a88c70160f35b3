// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <QJsonObject>
#include <QJsonValue>
#include <string>
#include <string_view>

// Records filled from JSON objects whose keys are the field names of a table
// ("MVS:APIKEY", "MVD:UUID", ...). A value must have the JSON type its field
// wants: a text field a string (UTF-8, no longer than the field once stored in
// Windows-1251, no zero character); a whole-number field a JSON number that
// is whole and in the field's range, and a date field (i32) also the string
// "yyyy-mm-dd" of a real date; a real field (f64) any finite JSON number.
// Anything else is refused with a message naming the field.
namespace cli {

// "a string", "a number", "null", ...: the JSON type of a value, for messages.
std::string jsonTypeName(const QJsonValue& value);

// Sets one field from a JSON value; false with `error` naming the field
// (`name`) when the value does not fit, the record unchanged then.
[[nodiscard]] bool setFieldFromJson(const store::FieldDef& field, char* record, const QJsonValue& value,
                                    std::string_view name, std::string& error);

// Clears nothing: the caller starts from a cleared record. False with a
// message naming the field when a key is no field of the table or its value
// does not fit.
[[nodiscard]] bool fillRecordFromJson(const store::TableDef& table, char* record, const QJsonObject& object,
                                      std::string& error);

// Reads a JSON document from a file ("-" for standard input).
[[nodiscard]] bool readJsonFile(const std::string& path, QJsonObject& out, std::string& error);

} // namespace cli
