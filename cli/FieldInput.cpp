// SPDX-License-Identifier: LicenseRef-Kestrom
#include "cli/FieldInput.h"

#include "platform/CodePage.h"
#include "store/FieldAccess.h"

#include <cstdint>
#include <limits>

namespace cli {

namespace {

template <typename T>
std::string wholeNumberRange()
{
    return "is not a whole number from " + std::to_string(std::numeric_limits<T>::min()) + " to " +
           std::to_string(std::numeric_limits<T>::max());
}

std::string numberRange(store::FieldType type)
{
    switch (type) {
    case store::FieldType::U8:
        return wholeNumberRange<std::uint8_t>();
    case store::FieldType::I16:
        return wholeNumberRange<std::int16_t>();
    case store::FieldType::U16:
        return wholeNumberRange<std::uint16_t>();
    case store::FieldType::I32:
        return wholeNumberRange<std::int32_t>();
    default:
        return "is not a number";
    }
}

} // namespace

std::string refusalFor(const store::FieldDef& field, std::string_view utf8)
{
    if (!store::isTextType(field.type)) {
        // The field's own reading is strict about numbers; tried on scratch.
        store::FieldDef probe = field;
        probe.offset = 0;
        char scratch[sizeof(double)] = {};
        return store::setFieldFromUtf8(probe, scratch, utf8) ? std::string() : numberRange(field.type);
    }
    if (utf8.find('\0') != std::string_view::npos)
        return "holds a zero character";
    platform::ConversionLoss loss;
    const std::string stored = platform::utf8ToCp1251(utf8, &loss);
    if (loss.invalid != 0)
        return "is not UTF-8 text";
    if (loss.unmappable != 0)
        return "has characters that Windows-1251 cannot store";
    const std::size_t room = field.type == store::FieldType::ZText ? field.size - 1u : field.size;
    if (stored.size() > room)
        return "is longer than the field's " + std::to_string(room) + " bytes (it takes " +
               std::to_string(stored.size()) + ")";
    return {};
}

bool setFieldChecked(const store::FieldDef& field, char* record, std::string_view utf8, std::string& why)
{
    why = refusalFor(field, utf8);
    if (!why.empty())
        return false;
    if (store::setFieldFromUtf8(field, record, utf8))
        return true;
    why = "does not fit the field";
    return false;
}

} // namespace cli
