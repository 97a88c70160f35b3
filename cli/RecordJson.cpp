// SPDX-License-Identifier: LicenseRef-Kestrom
#include "cli/RecordJson.h"

#include "platform/Dates.h"
#include "store/FieldAccess.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonValue>
#include <cmath>
#include <cstdio>

namespace cli {

namespace {

std::string jsonScalarText(const QJsonValue& value, bool& ok)
{
    ok = true;
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString().toStdString();
    case QJsonValue::Double: {
        const double d = value.toDouble();
        if (std::fabs(d) < 0x1p63 && d == static_cast<double>(static_cast<long long>(d)))
            return std::to_string(static_cast<long long>(d));
        return QByteArray::number(d, 'g', 17).toStdString();
    }
    case QJsonValue::Bool:
        return value.toBool() ? "1" : "0";
    case QJsonValue::Null:
        return {};
    default:
        ok = false;
        return {};
    }
}

} // namespace

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
        bool ok = false;
        std::string text = jsonScalarText(it.value(), ok);
        if (ok && field.type == store::FieldType::I32 && text.size() == 10 && text[4] == '-' &&
            text[7] == '-') {
            const std::int32_t day = platform::dayFromIso(text);
            ok = day != 0;
            text = std::to_string(day);
        }
        if (!ok || !store::setFieldFromUtf8(field, record, text)) {
            error = "the value of " + name + " does not fit the field";
            return false;
        }
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
