// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#if defined(_WIN32)
#if defined(ZANVO_XMLTYPES_LIBRARY)
#define ZANVO_XMLTYPES_EXPORT __declspec(dllexport)
#else
#define ZANVO_XMLTYPES_EXPORT __declspec(dllimport)
#endif
#else
#define ZANVO_XMLTYPES_EXPORT __attribute__((visibility("default")))
#endif

// The build number this library was built with.
extern "C" ZANVO_XMLTYPES_EXPORT unsigned zanvo_xmltypes_build(void);

// Descriptions of the program's structures field by field, for code that turns
// a table record, an in-memory list, a group of fields or a view into XML and
// back without knowing the structure in advance. Every class iterates the same
// way:
//
//     info.INIT(...);
//     info.STARTFIELDSITERATE(xmltypes::kModeFields);
//     while (info.GETNEXTFIELD() == xmltypes::kOk) {
//         info.GETFIELDLABEL(); info.GETFIELDTYPE(type, size, places); ...
//     }
//
// INIT keeps a reference to what it binds (table, list, group, view): that
// must outlive the object or its next INIT. An object bound to nothing answers
// kNotBound to everything and an empty label.
//
// The library reads the field dictionaries of the store (store/FieldDef.h) and
// the layouts of the response lists; it links none of the program's code.
namespace responses {
struct ListLayout;
}
namespace store {
struct RelationDef;
}

namespace xmltypes {

// Result codes.
enum : int
{
    kOk = 0,
    kNoKey = 2,        // no key with that number
    kNotPossible = 3,  // not possible for this kind of structure
    kNotBound = 4,     // no INIT, or nothing added before BUILD
    kNoMoreFields = 5, // past the last field
    kFailure = 6,      // not found, no memory, or nothing to report in this mode
};

// Type codes of fields.
enum : int
{
    kTypeU8 = 1,
    kTypeI16 = 2,
    kTypeU16 = 3,
    kTypeI32 = 6,
    kTypeF64 = 9,
    kTypeDecimal = 10,
    kTypePackedDecimal = 11,
    kTypeText = 18,
    kTypeZText = 19,
    kTypeMemo = 21,
    kTypeGroup = 22,
};

// What the iteration of a table covers.
constexpr std::uint8_t kModeFields = 1;
constexpr std::uint8_t kModeMemos = 2;

// Key attribute flags.
constexpr std::uint32_t kKeyUnique = 1;
constexpr std::uint32_t kKeyPrimary = 2;

ZANVO_XMLTYPES_EXPORT int typeCodeOf(store::FieldType type);
// The store's type of a type code; none for the decimal kinds, memos and groups.
ZANVO_XMLTYPES_EXPORT std::optional<store::FieldType> storeTypeOf(int typeCode);

// One field of a structure description.
struct FieldEntry
{
    std::string label; // "MVD:UUID"
    int type = 0;      // type code
    int size = 0;      // as GETFIELDTYPE reports it (digits for the decimal kinds)
    int places = 0;
    std::uint32_t bytes = 0;  // bytes in the record
    std::uint32_t offset = 0; // byte offset in the record
};

// A structure: fields in order and the record length.
struct Structure
{
    std::vector<FieldEntry> fields;
    std::uint32_t length = 0;
};

// A memo or blob of a table (beside the record).
struct MemoDef
{
    std::string_view label;
    int size = 0; // bytes of a memo; ignored for a blob
    bool blob = false;
    std::uint32_t flags = 0;
};

// A view: tables joined by their relations. The first table is the primary
// one; every other names the join it hangs under (its parent, 1-based) and
// the relation that links them. `fields` lists what the view projects from
// the table: n > 0 the n-th record field, -n the n-th memo; empty projects
// every record field.
struct ViewTable
{
    const store::TableDef* table = nullptr;
    std::span<const MemoDef> memos;
    int parent = 0;
    const store::RelationDef* relation = nullptr;
    std::vector<int> fields;
};
struct View
{
    std::string name;
    std::vector<ViewTable> tables;
};

struct KeyInfo
{
    std::string name;
    std::string label;
    std::vector<int> components; // 1-based field numbers
    std::uint32_t attributes = 0;
};

class ZANVO_XMLTYPES_EXPORT XMLOBJECTINFO
{
public:
    XMLOBJECTINFO();
    virtual ~XMLOBJECTINFO();
    XMLOBJECTINFO(const XMLOBJECTINFO&) = delete;
    XMLOBJECTINFO& operator=(const XMLOBJECTINFO&) = delete;

    virtual int STARTFIELDSITERATE(std::uint8_t mode);
    virtual int GETNEXTFIELD();
    virtual int GETFIELDTYPE(int& type, int& size, int& places);
    // Empty when there is no current field or the object is not bound.
    virtual std::string_view GETFIELDLABEL();
    virtual int GETFIELDINFO(int& a, int& b, int& c);
    // Appends a field to a new structure (started on the first call; needs no
    // binding). Sizes: bytes, the declared length for texts (with the
    // terminator for ztext), digits for the decimal kinds. 6 when the type is
    // unknown or the size does not suit it.
    virtual int ADDFIELD(std::string_view label, int type, int size, int places);
    // Finishes the new structure, which the object then describes.
    virtual int BUILD();
    virtual void UPDATEREF();
    virtual void reset();

    bool bound() const { return XOBJ != nullptr; }
    // The current record field (its offset and bytes), nullptr when none.
    const FieldEntry* currentField() const { return FIELD; }
    int fieldNumber() const { return FIELDIDX; }
    const Structure* structure() const { return XOBJ; }

protected:
    const Structure* XOBJ = nullptr;
    const FieldEntry* FIELD = nullptr;
    std::unique_ptr<Structure> WRITER;
    int FIELDIDX = 0;

    std::unique_ptr<Structure> m_built;
};

class ZANVO_XMLTYPES_EXPORT XMLGROUPINFO : public XMLOBJECTINFO
{
public:
    int INIT(const Structure& group);
    void UPDATEREF() override;
    void reset() override;

protected:
    const Structure* GROUPDATA = nullptr;
};

class ZANVO_XMLTYPES_EXPORT XMLQUEUEINFO : public XMLOBJECTINFO
{
public:
    // A response list or any in-memory list of a known structure.
    int INIT(const responses::ListLayout& list);
    int INIT(const Structure& list);
    void UPDATEREF() override;
    void reset() override;

protected:
    const responses::ListLayout* QUEUEDATA = nullptr;
    const Structure* m_source = nullptr;
    Structure m_description;
};

class ZANVO_XMLTYPES_EXPORT XMLFILEINFO : public XMLOBJECTINFO
{
public:
    int INIT(const store::TableDef& table, std::span<const MemoDef> memos = {});

    int STARTFIELDSITERATE(std::uint8_t mode) override;
    int GETNEXTFIELD() override;
    int GETFIELDTYPE(int& type, int& size, int& places) override;
    std::string_view GETFIELDLABEL() override;
    int GETFIELDINFO(int& a, int& b, int& c) override;
    // Reads the table's description again.
    void UPDATEREF() override;

    int SETNAME(std::string_view name);
    int SETDRIVER(std::string_view driver, std::string_view options = {});
    // Components are 1-based field numbers of the table.
    int ADDKEY(std::string_view name, std::string_view label, std::span<const int> components,
               std::uint32_t attributes);
    int GETKEY(int number, std::string& name, std::string& label, std::vector<int>& components,
               std::uint32_t& attributes) const;
    int GETKEYSCOUNT() const;

    const store::TableDef* table() const { return FILEDATA; }
    std::string_view name() const { return m_name; }
    std::string_view driver() const { return m_driver; }
    std::string_view driverOptions() const { return m_driverOptions; }

protected:
    const store::TableDef* FILEDATA = nullptr;
    std::uint8_t MODE = 0;
    int MEMOIDX = 0;
    int MEMOONLYIDX = 0;
    const MemoDef* MEMOK = nullptr;

private:
    Structure m_description;
    std::vector<MemoDef> m_memos;
    std::vector<KeyInfo> m_keys;
    std::string m_name;
    std::string m_driver;
    std::string m_driverOptions;
};

class ZANVO_XMLTYPES_EXPORT XMLVIEWINFO : public XMLOBJECTINFO
{
public:
    XMLVIEWINFO();
    ~XMLVIEWINFO() override;

    // 6 when a table is missing, a parent is out of range or a projected
    // field does not exist.
    int INIT(const View& view);

    int STARTFIELDSITERATE(std::uint8_t mode) override;
    int GETNEXTFIELD() override;
    int GETFIELDTYPE(int& type, int& size, int& places) override;
    std::string_view GETFIELDLABEL() override;
    int GETFIELDINFO(int& a, int& b, int& c) override;
    int ADDFIELD(std::string_view label, int type, int size, int places) override;
    int BUILD() override;

    // The table of the current field (0-based number in the view), -1 when none.
    int tableNumber() const { return FI; }
    XMLFILEINFO* currentFile() const { return CURFILE.get(); }

protected:
    const View* VW = nullptr;
    std::unique_ptr<XMLFILEINFO> CURFILE;
    int FI = -1;

private:
    struct Projected
    {
        int table;
        int field;
    };
    std::vector<Projected> m_projected;
    int m_curPosition = 0; // CURFILE's step count in its current mode
    bool m_curMemos = false;
    Structure m_empty;
};

class ZANVO_XMLTYPES_EXPORT XMLJOININFO
{
public:
    XMLJOININFO();
    ~XMLJOININFO();

    int LOADINFO(const View& view);
    int STARTITERATE();
    bool GETNEXTJOIN();
    // Joins directly under the current one.
    int GETCHILDS() const;
    const store::TableDef* GETFILE() const;
    // The number of record fields and memos of the current table when the
    // view projects none of them explicitly, otherwise 0.
    int GETFIELDS() const;
    int STARTFIELDSITERATE();
    // The next projected field's number (negative for a memo), 0 after the last.
    int GETNEXTFIELD();

private:
    const View* XVW = nullptr;
    const std::vector<ViewTable>* VIEWDATA = nullptr;
    int COUNT = 0;
    int CURFLDIDX = 0;
};

} // namespace xmltypes
