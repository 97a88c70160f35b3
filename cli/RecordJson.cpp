// SPDX-License-Identifier: LicenseRef-Kestrom
#include "cli/RecordJson.h"

#include "cli/FieldInput.h"
#include "platform/Dates.h"

#include <QFile>
#include <QJsonDocument>
#include <cmath>

namespace cli {

std::string jsonTypeName(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return "null";
    case QJsonValue::Bool:
        return "true or false";
    case QJsonValue::Double:
        return "a number";
    case QJsonValue::String:
        return "a string";
    case QJsonValue::Array:
        return "an array";
    case QJsonValue::Object:
        return "an object";
    default:
        return "no value";
    }
}

namespace {

// The text a value of the field's JSON type stands for, or the reason it is
// of the wrong type.
[[nodiscard]] bool fieldText(const store::FieldDef& field, const QJsonValue& value, std::string& text,
                             std::string& why)
{
    if (store::isTextType(field.type)) {
        if (!value.isString()) {
            why = "must be a string, not " + jsonTypeName(value);
            return false;
        }
        text = value.toString().toStdString();
        return true;
    }
    if (field.type == store::FieldType::I32 && value.isString()) {
        // A date field takes the date itself: exactly yyyy-mm-dd, a real day.
        const std::string date = value.toString().toStdString();
        const std::int32_t day = date.size() == 10 ? platform::dayFromIso(date) : 0;
        if (day == 0) {
            why = "is not a date yyyy-mm-dd";
            return false;
        }
        text = std::to_string(day);
        return true;
    }
    if (!value.isDouble()) {
        why = "must be a number, not " + jsonTypeName(value);
        return false;
    }
    const double d = value.toDouble();
    if (field.type == store::FieldType::F64) {
        text = QByteArray::number(d, 'g', 17).toStdString();
        return true;
    }
    // Whole numbers only, written out in full; the field's own reading checks
    // the range.
    if (d != std::trunc(d)) {
        why = "must be a whole number";
        return false;
    }
    text = QByteArray::number(d, 'f', 0).toStdString();
    return true;
}

} // namespace

bool setFieldFromJson(const store::FieldDef& field, char* record, const QJsonValue& value,
                      std::string_view name, std::string& error)
{
    std::string text;
    std::string why;
    if (fieldText(field, value, text, why) && setFieldChecked(field, record, text, why))
        return true;
    error = "the value of " + std::string(name) + " " + why;
    return false;
}

bool fillRecordFromJson(const store::TableDef& table, char* record, const QJsonObject& object,
                        std::string& error)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        const std::string name = it.key().toStdString();
        const int index = table.fieldIndex(name);
        if (index < 0) {
            error = table.name.data() + std::string(" has no field ") + name;
            return false;
        }
        const store::FieldDef& field = table.fields[static_cast<std::size_t>(index)];
        if (!setFieldFromJson(field, record, it.value(), name, error))
            return false;
    }
    return true;
}

bool readJsonFile(const std::string& path, QJsonObject& out, std::string& error)
{
    QFile file;
    const bool opened =
        path == "-" ? file.open(stdin, QIODevice::ReadOnly)
                    : (file.setFileName(QString::fromStdString(path)), file.open(QIODevice::ReadOnly));
    if (!opened) {
        error = "cannot read " + path;
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject()) {
        error = path + ": not a JSON object (" + parseError.errorString().toStdString() + ")";
        return false;
    }
    out = doc.object();
    return true;
}

} // namespace cli
