// SPDX-License-Identifier: LicenseRef-Kestrom
#include "xmltypes/XmlTypes.h"

#include "xmltypes/StructureOf.h"

#include "platform/BuildMarker.h"
#include "responses/ResponseList.h"

#include <limits>
#include <new>

ZANVO_DEFINE_BUILD_MARKER(zanvo_xmltypes_build_marker);

extern "C" unsigned zanvo_xmltypes_build(void)
{
    return static_cast<unsigned>(ZANVO_BUILD_NUMBER) & 0xFFFFu;
}

namespace xmltypes {

int typeCodeOf(store::FieldType type)
{
    switch (type) {
    case store::FieldType::Text:
        return kTypeText;
    case store::FieldType::ZText:
        return kTypeZText;
    case store::FieldType::U8:
        return kTypeU8;
    case store::FieldType::I16:
        return kTypeI16;
    case store::FieldType::U16:
        return kTypeU16;
    case store::FieldType::I32:
        return kTypeI32;
    case store::FieldType::F64:
        return kTypeF64;
    }
    return 0;
}

std::optional<store::FieldType> storeTypeOf(int typeCode)
{
    switch (typeCode) {
    case kTypeText:
        return store::FieldType::Text;
    case kTypeZText:
        return store::FieldType::ZText;
    case kTypeU8:
        return store::FieldType::U8;
    case kTypeI16:
        return store::FieldType::I16;
    case kTypeU16:
        return store::FieldType::U16;
    case kTypeI32:
        return store::FieldType::I32;
    case kTypeF64:
        return store::FieldType::F64;
    default:
        return std::nullopt;
    }
}

// --- XMLOBJECTINFO ---------------------------------------------------------

XMLOBJECTINFO::XMLOBJECTINFO() = default;
XMLOBJECTINFO::~XMLOBJECTINFO() = default;

int XMLOBJECTINFO::STARTFIELDSITERATE(std::uint8_t)
{
    if (!XOBJ)
        return kNotBound;
    FIELDIDX = 0;
    FIELD = nullptr;
    return kOk;
}

int XMLOBJECTINFO::GETNEXTFIELD()
{
    if (!XOBJ)
        return kNotBound;
    if (FIELDIDX < 0 || static_cast<std::size_t>(FIELDIDX) >= XOBJ->fields.size()) {
        FIELD = nullptr;
        return kNoMoreFields;
    }
    FIELD = &XOBJ->fields[static_cast<std::size_t>(FIELDIDX)];
    ++FIELDIDX;
    return kOk;
}

int XMLOBJECTINFO::GETFIELDTYPE(int& type, int& size, int& places)
{
    if (!XOBJ)
        return kNotBound;
    if (!FIELD)
        return kFailure;
    type = FIELD->type;
    size = FIELD->size;
    places = FIELD->places;
    return kOk;
}

std::string_view XMLOBJECTINFO::GETFIELDLABEL()
{
    if (!XOBJ || !FIELD)
        return {};
    return FIELD->label;
}

int XMLOBJECTINFO::GETFIELDINFO(int&, int&, int&)
{
    return XOBJ ? kFailure : kNotBound;
}

int XMLOBJECTINFO::ADDFIELD(std::string_view label, int type, int size, int places)
{
    FieldEntry f;
    f.label = std::string(label);
    f.type = type;
    f.size = size;
    f.places = places;
    auto fixed = [&](int bytes) {
        if (size != 0 && size != bytes)
            return false;
        f.size = bytes;
        f.bytes = static_cast<std::uint32_t>(bytes);
        f.places = 0;
        return true;
    };
    bool ok = false;
    switch (type) {
    case kTypeU8:
        ok = fixed(1);
        break;
    case kTypeI16:
    case kTypeU16:
        ok = fixed(2);
        break;
    case kTypeI32:
        ok = fixed(4);
        break;
    case kTypeF64:
        ok = fixed(8);
        break;
    case kTypeDecimal:
    case kTypePackedDecimal:
        // Digits in, bytes stored: (bytes - 1) * 2 digits.
        ok = size > 0 && size <= 31 && places >= 0 && places <= size;
        f.bytes = static_cast<std::uint32_t>(size / 2 + 1);
        f.size = (static_cast<int>(f.bytes) - 1) * 2;
        break;
    case kTypeText:
    case kTypeZText:
        ok = size > 0 && size <= std::numeric_limits<std::uint16_t>::max();
        f.bytes = static_cast<std::uint32_t>(size);
        f.places = 0;
        break;
    case kTypeGroup:
        // A group spans the fields that follow it; it takes no bytes itself.
        ok = size >= 0;
        f.bytes = 0;
        f.places = 0;
        break;
    default:
        ok = false; // memos belong to tables, not to records
        break;
    }
    if (!ok)
        return kFailure;
    try {
        if (!WRITER)
            WRITER = std::make_unique<Structure>();
        f.offset = WRITER->length;
        if (std::numeric_limits<std::uint32_t>::max() - WRITER->length < f.bytes)
            return kFailure;
        WRITER->length += f.bytes;
        WRITER->fields.push_back(std::move(f));
    } catch (const std::bad_alloc&) {
        return kFailure;
    }
    return kOk;
}

int XMLOBJECTINFO::BUILD()
{
    if (!WRITER || WRITER->fields.empty())
        return kNotBound;
    m_built = std::move(WRITER);
    XOBJ = m_built.get();
    FIELDIDX = 0;
    FIELD = nullptr;
    return kOk;
}

void XMLOBJECTINFO::UPDATEREF() {}

void XMLOBJECTINFO::reset() {}

// --- XMLGROUPINFO ----------------------------------------------------------

int XMLGROUPINFO::INIT(const Structure& group)
{
    GROUPDATA = &group;
    XOBJ = &group;
    FIELDIDX = 0;
    FIELD = nullptr;
    return kOk;
}

void XMLGROUPINFO::UPDATEREF()
{
    if (GROUPDATA) {
        XOBJ = GROUPDATA;
        reset();
    }
}

void XMLGROUPINFO::reset()
{
    FIELDIDX = 0;
    FIELD = nullptr;
}

// --- XMLQUEUEINFO ----------------------------------------------------------

int XMLQUEUEINFO::INIT(const responses::ListLayout& list)
{
    try {
        m_description = structureOf(list.fields, list.recordLength);
    } catch (const std::bad_alloc&) {
        return kFailure;
    }
    QUEUEDATA = &list;
    m_source = nullptr;
    XOBJ = &m_description;
    reset();
    return kOk;
}

int XMLQUEUEINFO::INIT(const Structure& list)
{
    QUEUEDATA = nullptr;
    m_source = &list;
    XOBJ = &list;
    reset();
    return kOk;
}

void XMLQUEUEINFO::UPDATEREF()
{
    if (QUEUEDATA)
        static_cast<void>(INIT(*QUEUEDATA));
    else if (m_source)
        static_cast<void>(INIT(*m_source));
}

void XMLQUEUEINFO::reset()
{
    FIELDIDX = 0;
    FIELD = nullptr;
}

} // namespace xmltypes
