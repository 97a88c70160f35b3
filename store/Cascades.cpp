// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/Cascades.h"

#include "framework/LastError.h"
#include "store/Connection.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/AllTables.h"

#include <cstring>

namespace store {

namespace {

bool cascades(const RelationDef& r, bool deleting)
{
    return (deleting ? r.onDelete : r.onUpdate) == RelationAction::Cascade;
}

bool anyCascade(const TableDef& parent, bool deleting)
{
    for (const RelationDef& r : allRelations())
        if (r.parent == &parent && cascades(r, deleting))
            return true;
    return false;
}

// The value of a linking field as bytes without padding, so that a text(36)
// GUID and a ztext GUID compare and copy alike.
std::string linkValue(const FieldDef& f, const char* record)
{
    const std::string_view raw(record + f.offset, f.size);
    switch (f.type) {
    case FieldType::Text:
        return std::string(clip(raw));
    case FieldType::ZText:
        return std::string(raw.substr(0, std::min(raw.find('\0'), raw.size() - 1)));
    default:
        return std::string(raw);
    }
}

void setLinkValue(const FieldDef& f, char* record, const std::string& value)
{
    char* p = record + f.offset;
    if (!isTextType(f.type)) {
        std::memcpy(p, value.data(), std::min<std::size_t>(value.size(), f.size));
        return;
    }
    const std::size_t capacity = f.type == FieldType::ZText ? f.size - 1u : f.size;
    const std::size_t n = std::min(value.size(), capacity);
    std::memcpy(p, value.data(), n);
    std::memset(p + n, f.type == FieldType::ZText ? 0 : ' ', f.size - n);
}

[[nodiscard]] int deleteChildren(const RelationDef& r, Table& child, const std::string& value)
{
    const FieldDef& link =
        child.def().fields[static_cast<std::size_t>(child.def().fieldIndex(r.linkChildField))];
    child.clear();
    setLinkValue(link, child.data(), value);
    if (r.childKey->unique && r.childKey->componentCount == 1) {
        const int code = child.fetch(*r.childKey);
        if (code == kRecordNotFound)
            return kOk;
        return code ? code : child.deleteRecord();
    }
    if (const int code = child.set(*r.childKey, 1))
        return code;
    for (;;) {
        const int code = child.next();
        if (code == kRecordNotFound)
            return kOk;
        if (code)
            return code;
        if (linkValue(link, child.data()) != value)
            return kOk;
        if (const int del = child.deleteRecord())
            return del;
    }
}

[[nodiscard]] int moveChildren(const RelationDef& r, Table& child, const std::string& from,
                               const std::string& to)
{
    const FieldDef& link =
        child.def().fields[static_cast<std::size_t>(child.def().fieldIndex(r.linkChildField))];
    child.clear();
    setLinkValue(link, child.data(), from);
    if (const int code = child.set(*r.childKey, 1))
        return code;
    for (;;) {
        // The walk continues from the row as it was read, so a moved row is
        // not met again.
        const int code = child.next();
        if (code == kRecordNotFound)
            return kOk;
        if (code)
            return code;
        if (linkValue(link, child.data()) != from)
            return kOk;
        setLinkValue(link, child.data(), to);
        if (const int put = child.put())
            return put;
    }
}

} // namespace

std::vector<const TableDef*> Cascades::childTables(const TableDef& parent)
{
    std::vector<const TableDef*> out;
    for (const RelationDef& r : allRelations())
        if (r.parent == &parent && (cascades(r, true) || cascades(r, false)))
            out.push_back(r.child);
    return out;
}

bool Cascades::hasUpdateCascades(const TableDef& parent)
{
    return anyCascade(parent, false);
}

bool Cascades::hasDeleteCascades(const TableDef& parent)
{
    return anyCascade(parent, true);
}

int Cascades::put(Table& parent)
{
    return run(parent, false);
}

int Cascades::deleteRecord(Table& parent)
{
    return run(parent, true);
}

int Cascades::run(Table& parent, bool deleting)
{
    const TableDef& def = parent.def();
    Session& session = parent.session();
    Connection& conn = session.connection();

    std::vector<char> stored(def.recordLength);
    if (const int code = parent.readStored(parent.m_currentRow, stored.data()))
        return code;

    struct Step
    {
        const RelationDef* relation;
        Table* child;
        std::string before;
        std::string after;
    };
    std::vector<Step> steps;
    for (const RelationDef& r : allRelations()) {
        if (r.parent != &def || !cascades(r, deleting))
            continue;
        const FieldDef& link = def.fields[static_cast<std::size_t>(def.fieldIndex(r.linkParentField))];
        Step s{&r, nullptr, linkValue(link, stored.data()), linkValue(link, parent.data())};
        if (!deleting && s.before == s.after)
            continue;
        s.child = session.relatedTable(*r.child);
        if (!s.child)
            return framework::lastError().code ? framework::lastError().code : kFileNotOpen;
        steps.push_back(std::move(s));
    }
    if (steps.empty())
        return deleting ? parent.removeRow(parent.m_currentRow) : parent.writeRecord(false, false);

    const bool ownTransaction = !conn.inTransaction();
    sqlite::DbError err;
    if (ownTransaction) {
        std::vector<AttachedFile*> files{parent.m_file};
        for (const Step& s : steps)
            files.push_back(s.child->m_file);
        if (conn.begin(files, kDataLockTimeoutSeconds, err) != kOk)
            return parent.fail(err.code, err.sqliteCode, err.text);
    } else if (conn.savepoint(err) != kOk) {
        return parent.fail(err.code, err.sqliteCode, err.text);
    }

    int code = kOk;
    for (const Step& s : steps) {
        code = deleting ? deleteChildren(*s.relation, *s.child, s.before)
                        : moveChildren(*s.relation, *s.child, s.before, s.after);
        if (code)
            break;
    }
    const std::int64_t row = parent.m_currentRow;
    if (code == kOk)
        code = deleting ? parent.removeRow(row) : parent.writeRecord(false, false);
    if (code != kOk) {
        if (ownTransaction)
            conn.rollback();
        else
            conn.rollbackToSavepoint();
        if (deleting)
            parent.m_currentRow = row;
        return code;
    }
    if (!ownTransaction) {
        conn.releaseSavepoint();
        return kOk;
    }
    if (conn.commit(err) != kOk) {
        parent.m_currentRow = row;
        return parent.fail(err.code, err.sqliteCode, err.text);
    }
    return kOk;
}

} // namespace store
