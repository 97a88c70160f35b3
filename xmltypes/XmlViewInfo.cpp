// SPDX-License-Identifier: LicenseRef-Kestrom
#include "xmltypes/XmlTypes.h"

#include <cstdlib>
#include <new>

namespace xmltypes {

// --- XMLVIEWINFO -----------------------------------------------------------

XMLVIEWINFO::XMLVIEWINFO() = default;
XMLVIEWINFO::~XMLVIEWINFO() = default;

int XMLVIEWINFO::INIT(const View& view)
{
    std::vector<Projected> projected;
    try {
        for (std::size_t i = 0; i < view.tables.size(); ++i) {
            const ViewTable& vt = view.tables[i];
            if (!vt.table)
                return kFailure;
            if (i == 0 ? vt.parent != 0 : (vt.parent < 1 || static_cast<std::size_t>(vt.parent) > i))
                return kFailure;
            const int table = static_cast<int>(i);
            if (vt.fields.empty()) {
                for (std::size_t n = 1; n <= vt.table->fields.size(); ++n)
                    projected.push_back({table, static_cast<int>(n)});
                continue;
            }
            for (int n : vt.fields) {
                const bool fits =
                    n > 0 ? static_cast<std::size_t>(n) <= vt.table->fields.size()
                          : n < 0 && static_cast<std::size_t>(-static_cast<long>(n)) <= vt.memos.size();
                if (!fits)
                    return kFailure;
                projected.push_back({table, n});
            }
        }
    } catch (const std::bad_alloc&) {
        return kFailure;
    }
    if (projected.empty())
        return kFailure;
    m_projected = std::move(projected);
    VW = &view;
    XOBJ = &m_empty;
    CURFILE.reset();
    FI = -1;
    FIELDIDX = 0;
    FIELD = nullptr;
    return kOk;
}

int XMLVIEWINFO::STARTFIELDSITERATE(std::uint8_t)
{
    if (!VW)
        return kNotBound;
    FIELDIDX = 0;
    CURFILE.reset();
    FI = -1;
    return kOk;
}

int XMLVIEWINFO::GETNEXTFIELD()
{
    if (!VW)
        return kNotBound;
    if (static_cast<std::size_t>(FIELDIDX) >= m_projected.size())
        return kNoMoreFields;
    const Projected p = m_projected[static_cast<std::size_t>(FIELDIDX)];
    ++FIELDIDX;
    const bool memo = p.field < 0;
    const int steps = std::abs(p.field);
    bool restart = false;
    if (!CURFILE || p.table != FI) {
        try {
            CURFILE = std::make_unique<XMLFILEINFO>();
        } catch (const std::bad_alloc&) {
            FI = -1;
            return kFailure;
        }
        const ViewTable& vt = VW->tables[static_cast<std::size_t>(p.table)];
        if (CURFILE->INIT(*vt.table, vt.memos) != kOk) {
            CURFILE.reset();
            FI = -1;
            return kFailure;
        }
        FI = p.table;
        restart = true;
    }
    // Fields usually come in order: keep stepping from where CURFILE stands.
    if (restart || memo != m_curMemos || steps <= m_curPosition) {
        static_cast<void>(CURFILE->STARTFIELDSITERATE(memo ? kModeMemos : kModeFields));
        m_curMemos = memo;
        m_curPosition = 0;
    }
    while (m_curPosition < steps) {
        if (CURFILE->GETNEXTFIELD() != kOk)
            return kFailure;
        ++m_curPosition;
    }
    return kOk;
}

int XMLVIEWINFO::GETFIELDTYPE(int& type, int& size, int& places)
{
    if (!VW)
        return kNotBound;
    return CURFILE ? CURFILE->GETFIELDTYPE(type, size, places) : kFailure;
}

std::string_view XMLVIEWINFO::GETFIELDLABEL()
{
    return (VW && CURFILE) ? CURFILE->GETFIELDLABEL() : std::string_view();
}

int XMLVIEWINFO::GETFIELDINFO(int& a, int& b, int& c)
{
    if (!VW)
        return kNotBound;
    return CURFILE ? CURFILE->GETFIELDINFO(a, b, c) : kFailure;
}

int XMLVIEWINFO::ADDFIELD(std::string_view, int, int, int)
{
    return kNotPossible;
}

int XMLVIEWINFO::BUILD()
{
    return kNotPossible;
}

// --- XMLJOININFO -----------------------------------------------------------

XMLJOININFO::XMLJOININFO() = default;
XMLJOININFO::~XMLJOININFO() = default;

int XMLJOININFO::LOADINFO(const View& view)
{
    XVW = &view;
    VIEWDATA = &view.tables;
    COUNT = 0;
    CURFLDIDX = 0;
    return kOk;
}

int XMLJOININFO::STARTITERATE()
{
    if (!XVW)
        return kNotBound;
    COUNT = 0;
    CURFLDIDX = 0;
    return kOk;
}

bool XMLJOININFO::GETNEXTJOIN()
{
    if (!XVW || static_cast<std::size_t>(COUNT) >= VIEWDATA->size())
        return false;
    ++COUNT;
    CURFLDIDX = 0;
    return true;
}

int XMLJOININFO::GETCHILDS() const
{
    if (!XVW || COUNT == 0)
        return 0;
    int n = 0;
    for (const ViewTable& vt : *VIEWDATA)
        if (vt.parent == COUNT)
            ++n;
    return n;
}

const store::TableDef* XMLJOININFO::GETFILE() const
{
    if (!XVW || COUNT == 0)
        return nullptr;
    return (*VIEWDATA)[static_cast<std::size_t>(COUNT - 1)].table;
}

int XMLJOININFO::GETFIELDS() const
{
    if (!XVW || COUNT == 0)
        return 0;
    const ViewTable& vt = (*VIEWDATA)[static_cast<std::size_t>(COUNT - 1)];
    return (vt.fields.empty() && vt.table) ? static_cast<int>(vt.table->fields.size()) : 0;
}

int XMLJOININFO::STARTFIELDSITERATE()
{
    if (!XVW)
        return kNotBound;
    CURFLDIDX = 0;
    return COUNT == 0 ? kFailure : kOk;
}

int XMLJOININFO::GETNEXTFIELD()
{
    if (!XVW || COUNT == 0)
        return 0;
    const ViewTable& vt = (*VIEWDATA)[static_cast<std::size_t>(COUNT - 1)];
    if (static_cast<std::size_t>(CURFLDIDX) >= vt.fields.size())
        return 0;
    return vt.fields[static_cast<std::size_t>(CURFLDIDX++)];
}

} // namespace xmltypes
