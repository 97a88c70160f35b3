// SPDX-License-Identifier: LicenseRef-Kestrom
#include "xmltypes/XmlTypes.h"

#include "xmltypes/StructureOf.h"

#include <new>

namespace xmltypes {

namespace {

std::string_view driverOfStorage(store::Storage storage)
{
    switch (storage) {
    case store::Storage::File:
    case store::Storage::ListFormat:
        return "SQLite";
    case store::Storage::EncryptedFile:
        return "SQLite sealed";
    case store::Storage::SharedMemory:
    case store::Storage::ThreadMemory:
        return "Memory";
    }
    return {};
}

} // namespace

int XMLFILEINFO::INIT(const store::TableDef& table, std::span<const MemoDef> memos)
{
    try {
        Structure d = structureOf(table.fields, table.recordLength);
        std::vector<KeyInfo> keys;
        keys.reserve(table.keys.size());
        for (const store::KeyDef& kd : table.keys) {
            KeyInfo k;
            k.name = std::string(kd.name);
            k.label = std::string(kd.label);
            for (std::uint8_t c : kd.componentSpan())
                k.components.push_back(c + 1);
            k.attributes = (kd.unique ? kKeyUnique : 0u) | (kd.primary ? kKeyPrimary : 0u);
            keys.push_back(std::move(k));
        }
        m_memos.assign(memos.begin(), memos.end());
        m_description = std::move(d);
        m_keys = std::move(keys);
        m_name = std::string(table.name);
        m_driver = std::string(driverOfStorage(table.storage));
        m_driverOptions.clear();
    } catch (const std::bad_alloc&) {
        return kFailure;
    }
    FILEDATA = &table;
    XOBJ = &m_description;
    FIELDIDX = 0;
    FIELD = nullptr;
    MODE = 0;
    MEMOIDX = 0;
    MEMOONLYIDX = 0;
    MEMOK = nullptr;
    return kOk;
}

int XMLFILEINFO::STARTFIELDSITERATE(std::uint8_t mode)
{
    if (!XOBJ)
        return kNotBound;
    MODE = mode;
    FIELDIDX = 0;
    FIELD = nullptr;
    MEMOIDX = 0;
    MEMOONLYIDX = 0;
    MEMOK = nullptr;
    return kOk;
}

int XMLFILEINFO::GETNEXTFIELD()
{
    if (!XOBJ)
        return kNotBound;
    if ((MODE & kModeFields) && MEMOIDX == 0 && static_cast<std::size_t>(FIELDIDX) < XOBJ->fields.size())
        return XMLOBJECTINFO::GETNEXTFIELD();
    FIELD = nullptr;
    if (!(MODE & kModeMemos) || static_cast<std::size_t>(MEMOIDX) >= m_memos.size()) {
        MEMOK = nullptr;
        return kNoMoreFields;
    }
    MEMOK = &m_memos[static_cast<std::size_t>(MEMOIDX)];
    ++MEMOIDX;
    if (!MEMOK->blob)
        ++MEMOONLYIDX;
    return kOk;
}

int XMLFILEINFO::GETFIELDTYPE(int& type, int& size, int& places)
{
    if (XOBJ && MEMOK) {
        type = kTypeMemo;
        size = MEMOK->blob ? -1 : MEMOK->size;
        places = 0;
        return kOk;
    }
    return XMLOBJECTINFO::GETFIELDTYPE(type, size, places);
}

std::string_view XMLFILEINFO::GETFIELDLABEL()
{
    if (XOBJ && MEMOK)
        return MEMOK->label;
    return XMLOBJECTINFO::GETFIELDLABEL();
}

int XMLFILEINFO::GETFIELDINFO(int& a, int& b, int& c)
{
    if (XOBJ && MEMOK) {
        a = MEMOIDX;
        b = MEMOONLYIDX;
        c = static_cast<int>(MEMOK->flags);
        return kOk;
    }
    return XMLOBJECTINFO::GETFIELDINFO(a, b, c);
}

void XMLFILEINFO::UPDATEREF()
{
    if (FILEDATA) {
        const std::vector<MemoDef> memos = m_memos;
        static_cast<void>(INIT(*FILEDATA, memos));
    }
}

int XMLFILEINFO::SETNAME(std::string_view name)
{
    if (!XOBJ)
        return kNotBound;
    if (name.empty())
        return kFailure;
    m_name = std::string(name);
    return kOk;
}

int XMLFILEINFO::SETDRIVER(std::string_view driver, std::string_view options)
{
    if (!XOBJ)
        return kNotBound;
    if (driver.empty())
        return kFailure;
    m_driver = std::string(driver);
    m_driverOptions = std::string(options);
    return kOk;
}

int XMLFILEINFO::ADDKEY(std::string_view name, std::string_view label, std::span<const int> components,
                        std::uint32_t attributes)
{
    if (!XOBJ)
        return kNotBound;
    if (name.empty() || components.empty())
        return kFailure;
    for (int c : components)
        if (c < 1 || static_cast<std::size_t>(c) > XOBJ->fields.size())
            return kFailure;
    try {
        m_keys.push_back(KeyInfo{std::string(name), std::string(label),
                                 std::vector<int>(components.begin(), components.end()), attributes});
    } catch (const std::bad_alloc&) {
        return kFailure;
    }
    return kOk;
}

int XMLFILEINFO::GETKEY(int number, std::string& name, std::string& label, std::vector<int>& components,
                        std::uint32_t& attributes) const
{
    if (!XOBJ)
        return kNotBound;
    if (number < 1 || static_cast<std::size_t>(number) > m_keys.size())
        return kNoKey;
    const KeyInfo& k = m_keys[static_cast<std::size_t>(number - 1)];
    name = k.name;
    label = k.label;
    components = k.components;
    attributes = k.attributes;
    return kOk;
}

int XMLFILEINFO::GETKEYSCOUNT() const
{
    return XOBJ ? static_cast<int>(m_keys.size()) : -1;
}

} // namespace xmltypes
