// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace store {
class Session;
template <typename Record>
class TypedTable;
struct RefsRecord;
} // namespace store

// The dictionaries window without its widgets: which records of m_Refs it
// lists, its titles, which dictionary a record leads to, and the changes of
// marks and deletions, each in one transaction.
namespace workspace {

// The window's title of a kind: "Меркурий: " and the dictionary's name.
QString refsKindTitle(int kind);
// The dictionary's name alone; empty for an unknown kind.
QString refsKindName(int kind);
inline constexpr const char16_t* kRefsPickerTitle = u"Меркурий: Выберите запись из справочника";
inline constexpr const char16_t* kRefsPickerHint = u"Для выбора записи из списка нажмите ENTER";

// The independent kinds the first tab lets the user choose, in order.
struct RefsKindChoice
{
    int kind;
    QString text;
};
std::vector<RefsKindChoice> independentRefsKinds();

// Which mark the second tab shows: none, one of the four, or every record.
inline constexpr int kAnyMark = -1;

// One listed record.
struct RefRow
{
    std::string guid;
    std::string uuid;
    QString name;
    std::int32_t status = 0;
    std::int32_t created = 0;
    std::int32_t edited = 0;
    std::string code; // MRE:STR40_01
    int mark = 0;
};

// The records of `kind` under `parent`, in name order, whose upper-case name
// matches `mask` ("*" and "?"; empty: all) and, unless `mark` is kAnyMark,
// whose mark is `mark`.
std::vector<RefRow> listRefs(store::Session& session, int kind, const std::string& parent,
                             const QString& mask = {}, int mark = kAnyMark);

// The row ids of the records listRefs lists, in the same order, without
// reading the records: one statement over the range of a key, which holds
// the names the mask is matched on and the GUIDs. `refs` must be open.
// `guids`, when given, receives the GUID of each row.
[[nodiscard]] int listRefIds(store::TypedTable<store::RefsRecord>& refs, int kind, const std::string& parent,
                             const QString& mask, int mark, std::vector<std::int64_t>& rows,
                             std::vector<std::string>* guids = nullptr);
// The fields the list can be sorted by.
enum class RefsSortField
{
    Mark,
    Name, // upper case, without leading and trailing blanks
    Status,
    Created,
    Edited,
    Code,
    Guid,
    Uuid,
};
// Orders `rows`, row ids that listRefIds listed for the same kind, parent
// and mark, by one field: stable, so that equal values keep the order they
// came in. Reads only that field, over the key's range in one statement.
// `rows` is left as it was when the store fails.
[[nodiscard]] int sortRefIds(store::TypedTable<store::RefsRecord>& refs, int kind, const std::string& parent,
                             int mark, RefsSortField field, bool descending, std::vector<std::int64_t>& rows);
// The GUIDs of `rows` (listed as for sortRefIds), in their order, read from
// the key without reading the records. False when a row is no longer there.
[[nodiscard]] bool refGuidsOf(store::TypedTable<store::RefsRecord>& refs, int kind, const std::string& parent,
                              int mark, const std::vector<std::int64_t>& rows,
                              std::vector<std::string>& guids);

// The listed record of row id `row`; nothing when it is gone.
std::optional<RefRow> readRefRow(store::TypedTable<store::RefsRecord>& refs, std::int64_t row);

// The dictionary the first ("Открыть справочник по текущей записи") or the
// second following button opens from a record of `kind`; nothing when it
// leads nowhere.
std::optional<int> followedKind(int kind, int button);

// The answers of the mark dialog.
enum MarkAnswer : int
{
    MarkNothing = 0, // 1..4: that flag
    MarkInvert = 5,
    MarkClear = 6,
};
// The new mark of a record marked `old` after answer `answer`.
int markAfter(int answer, int old);

// A GUID the window may change on its own: 36 characters, or 5 for the
// product types.
bool isRefsGuid(int kind, const std::string& guid);

enum class RefsChange
{
    Done,
    NoAccess, // no transaction within the lock time-out
    Failed,   // a write failed: nothing changed
};

// Gives every record of `guids` the mark `answer` leads to, in one
// transaction; records not stored are skipped. `changed` counts the records
// whose mark changed.
[[nodiscard]] RefsChange markRefs(store::Session& session, const std::vector<std::string>& guids, int answer,
                                  int* changed = nullptr);
// Deletes the records of `guids` in one transaction.
[[nodiscard]] RefsChange deleteRefs(store::Session& session, const std::vector<std::string>& guids,
                                    int* deleted = nullptr);
// Deletes every record of `kind` under `parent` in one transaction.
[[nodiscard]] RefsChange clearRefs(store::Session& session, int kind, const std::string& parent,
                                   int* deleted = nullptr);

// What the download says instead of loading for a kind it cannot load
// (kind 15, unknown kinds); empty for the kinds it loads.
QString refsDownloadRefusal(int kind);

} // namespace workspace
