// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/RecordColumns.h"

#include "store/RecordText.h"

#include <algorithm>
#include <cstring>

namespace store::columns {

void bindField(sqlite3_stmt* stmt, int param, const FieldDef& field, const char* record)
{
    const char* p = record + field.offset;
    switch (field.type) {
    case FieldType::Text: {
        const std::string_view text = clip(std::string_view(p, field.size));
        sqlite3_bind_blob(stmt, param, p, static_cast<int>(text.size()), SQLITE_STATIC);
        break;
    }
    case FieldType::ZText: {
        const std::size_t capacity = field.size > 0 ? field.size - 1u : 0u;
        const void* zero = std::memchr(p, 0, capacity);
        const std::size_t n = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - p) : capacity;
        sqlite3_bind_blob(stmt, param, p, static_cast<int>(n), SQLITE_STATIC);
        break;
    }
    case FieldType::U8:
        sqlite3_bind_int(stmt, param, loadNumber<std::uint8_t>(p));
        break;
    case FieldType::I16:
        sqlite3_bind_int(stmt, param, loadNumber<std::int16_t>(p));
        break;
    case FieldType::U16:
        sqlite3_bind_int(stmt, param, loadNumber<std::uint16_t>(p));
        break;
    case FieldType::I32:
        sqlite3_bind_int(stmt, param, loadNumber<std::int32_t>(p));
        break;
    case FieldType::F64:
        sqlite3_bind_double(stmt, param, loadNumber<double>(p));
        break;
    }
}

void readField(sqlite3_stmt* stmt, int column, const FieldDef& field, char* record)
{
    char* p = record + field.offset;
    switch (field.type) {
    case FieldType::Text:
    case FieldType::ZText: {
        const bool zeroTerminated = field.type == FieldType::ZText;
        const std::size_t capacity = zeroTerminated ? (field.size > 0 ? field.size - 1u : 0u) : field.size;
        const void* blob = sqlite3_column_blob(stmt, column);
        const std::size_t n =
            std::min<std::size_t>(static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)), capacity);
        if (n > 0)
            std::memcpy(p, blob, n);
        std::memset(p + n, zeroTerminated ? 0 : ' ', field.size - n);
        break;
    }
    case FieldType::U8:
        storeNumber(p, static_cast<std::uint8_t>(sqlite3_column_int64(stmt, column)));
        break;
    case FieldType::I16:
        storeNumber(p, static_cast<std::int16_t>(sqlite3_column_int64(stmt, column)));
        break;
    case FieldType::U16:
        storeNumber(p, static_cast<std::uint16_t>(sqlite3_column_int64(stmt, column)));
        break;
    case FieldType::I32:
        storeNumber(p, static_cast<std::int32_t>(sqlite3_column_int64(stmt, column)));
        break;
    case FieldType::F64:
        storeNumber(p, sqlite3_column_double(stmt, column));
        break;
    }
}

} // namespace store::columns
