// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/FileLayout.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace store::layout {

namespace {

constexpr FieldType kTypes[] = {FieldType::Text, FieldType::ZText, FieldType::U8, FieldType::I16,
                                FieldType::U16,  FieldType::I32,   FieldType::F64};

[[nodiscard]] bool typeNamed(std::string_view name, FieldType& out)
{
    for (FieldType t : kTypes)
        if (fieldTypeName(t) == name) {
            out = t;
            return true;
        }
    return false;
}

// The width a number type has; 0 for the texts, whose width is free.
std::uint32_t fixedWidth(FieldType t)
{
    switch (t) {
    case FieldType::U8:
        return 1;
    case FieldType::I16:
    case FieldType::U16:
        return 2;
    case FieldType::I32:
        return 4;
    case FieldType::F64:
        return 8;
    default:
        return 0;
    }
}

template <typename T>
[[nodiscard]] bool number(std::string_view text, T& out)
{
    std::uint64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        v > std::numeric_limits<T>::max())
        return false;
    out = static_cast<T>(v);
    return true;
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

} // namespace

const StoredField* StoredLayout::field(std::string_view name) const
{
    for (const StoredField& f : fields)
        if (f.name == name)
            return &f;
    return nullptr;
}

std::string layoutText(const TableDef& def)
{
    std::string text = "record " + std::to_string(def.recordLength);
    for (const FieldDef& f : def.fields) {
        text += '\n';
        text += f.name;
        text += '\t';
        text += fieldTypeName(f.type);
        text += '\t' + std::to_string(f.size) + '\t' + std::to_string(f.offset);
    }
    return text;
}

bool parseLayout(std::string_view text, StoredLayout& out, std::string& why)
{
    out = StoredLayout{};
    const std::vector<std::string_view> lines = split(text, '\n');
    constexpr std::string_view head = "record ";
    if (!lines.front().starts_with(head) || !number(lines.front().substr(head.size()), out.recordLength) ||
        out.recordLength == 0) {
        why = "the recorded layout has no record length";
        return false;
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string_view> parts = split(lines[i], '\t');
        StoredField f;
        if (parts.size() != 4 || parts[0].empty() || !typeNamed(parts[1], f.type) ||
            !number(parts[2], f.size) || !number(parts[3], f.offset) || f.size == 0 ||
            (fixedWidth(f.type) != 0 && f.size != fixedWidth(f.type)) ||
            static_cast<std::uint64_t>(f.offset) + f.size > out.recordLength) {
            why = "line " + std::to_string(i + 1) + " of the recorded layout is not a field";
            return false;
        }
        f.name = std::string(parts[0]);
        if (out.field(f.name)) {
            why = "the recorded layout names " + f.name + " twice";
            return false;
        }
        out.fields.push_back(std::move(f));
    }
    std::vector<const StoredField*> byOffset;
    for (const StoredField& f : out.fields)
        byOffset.push_back(&f);
    std::sort(byOffset.begin(), byOffset.end(),
              [](const StoredField* a, const StoredField* b) { return a->offset < b->offset; });
    for (std::size_t i = 1; i < byOffset.size(); ++i) {
        if (byOffset[i - 1]->offset + byOffset[i - 1]->size > byOffset[i]->offset) {
            why = "fields " + byOffset[i - 1]->name + " and " + byOffset[i]->name +
                  " overlap in the recorded layout";
            return false;
        }
    }
    if (out.fields.empty()) {
        why = "the recorded layout has no fields";
        return false;
    }
    return true;
}

} // namespace store::layout
