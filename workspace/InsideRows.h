// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace store {
class Session;
struct InsideRecord;
struct VsdRecord;
struct EnterpriseRecord;
template <typename Record>
class TypedTable;
} // namespace store

// The nested lists of one VSD: its repeating parts kept in m_Inside (batch
// identifiers, referenced documents, producers, packages, regionalization
// conditions, laboratory research, status changes, route points,
// immunizations), one list per contents kind (MIN:VID 1..9), each row with
// the texts its columns show. Reading only: nothing here writes a table.
namespace workspace {

inline constexpr int kInsideKindCount = 9;

struct InsideColumn
{
    const char16_t* header;
    const char16_t* group; // the caption above a run of columns, or empty
    int width;             // in characters
    bool fixed;            // stays in place while the list scrolls sideways; its width is set
    bool numeric;          // sorts by its number (dates, times, counts) and aligns right
};

// The columns of a kind's list; empty for a kind outside 1..9.
std::span<const InsideColumn> insideColumns(int kind);
// The item of the kind in the drop list (" 1. Идентификаторы ...").
QString insideKindText(int kind);
// The tip of the kind's list.
QString insideListTip(int kind);

// The heading of the window: series and number (or "Б/Н"), date and UUID.
QString insideHeaderText(const store::VsdRecord& vsd);

// A status change's time stamp ("2024-03-01T10:15:00"): its date (the first
// ten characters) and its time (characters 12 to 19); 0 when not such.
std::int32_t stampDay(std::string_view stamp);
std::int32_t stampTime(std::string_view stamp);

// The package level of a package (kind 4).
QString packageLevelText(int level);
// The status set by a status change (kind 7).
QString statusChangeText(std::string_view code);

// Names of enterprises from the local table only: the service is not asked.
// A GUID that is not 36 characters long and one the table lacks give the
// placeholders the loader stores for them.
class LocalEnterpriseNames
{
public:
    explicit LocalEnterpriseNames(store::Session& session);
    ~LocalEnterpriseNames();
    LocalEnterpriseNames(const LocalEnterpriseNames&) = delete;
    LocalEnterpriseNames& operator=(const LocalEnterpriseNames&) = delete;

    QString nameOf(std::string_view guid);

private:
    store::Session& m_session;
    std::unique_ptr<store::TypedTable<store::EnterpriseRecord>> m_table;
    bool m_tried = false;
    std::unordered_map<std::string, QString> m_names;
};

struct InsideCell
{
    QString text;
    std::int64_t number = 0; // numeric columns: what they sort by
};

struct InsideRow
{
    std::int32_t number = 0; // MIN:NUMBER
    std::vector<InsideCell> cells;
    std::string searchText; // the shown texts, upper-cased Windows-1251
};

// The row of a record of the given kind.
InsideRow insideRow(int kind, const store::InsideRecord& r, LocalEnterpriseNames& names);

// Whether a row passes the mask ("*TEXT*", see SearchMask.h): it is matched
// against the texts the row shows. An empty mask passes every row.
bool insideRowMatches(const InsideRow& row, const QString& mask);

// Orders the rows by a column (numbers by value, texts by their upper case),
// rows of equal values in their MIN:NUMBER order. A column outside the rows
// restores that order.
void sortInsideRows(std::vector<InsideRow>& rows, int column, bool descending);

// Reads the VSD and its contents through a session (a read-only one does).
class InsideReader
{
public:
    explicit InsideReader(store::Session& session);
    ~InsideReader();
    InsideReader(const InsideReader&) = delete;
    InsideReader& operator=(const InsideReader&) = delete;

    // 0 and the record, or the store's error (ErrorCodes.h): not found
    // when the VSD or its table is missing.
    int readVsd(std::string_view uuid, store::VsdRecord& out);
    // The rows of one kind that pass the mask, in MIN:NUMBER order; 0 or the
    // store's error. A missing contents table has no rows.
    int readRows(std::string_view uuid, int kind, const QString& mask, std::vector<InsideRow>& out);

private:
    store::Session& m_session;
    std::unique_ptr<store::TypedTable<store::InsideRecord>> m_inside;
    LocalEnterpriseNames m_names;
};

} // namespace workspace
