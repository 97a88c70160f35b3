// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <string>
#include <vector>

namespace store {
class Session;
}

// The user's own business entity (the m_Entity record with MEN:HOME = 1) and
// its enterprises, as the incoming list starts from them.
namespace workspace {

struct OwnEntity
{
    bool stored = false;           // the record exists (or was just made)
    QString name;                  // MEN:NAME
    std::string guid;              // MEN:GUID; not 36 characters before the settings are made
    std::string workingEnterprise; // the first enterprise marked in m_Place; empty when none
};

// Reads the own entity; when there is none, stores the record that asks the
// user to set the program up, and gives it.
OwnEntity openOwnEntity(store::Session& session);

struct EnterpriseChoice
{
    std::string guid;
    QString name;
    QString type; // "Предприятие", "Рынок", "СББЖ", "Судно" or "???"
    QString address;
    bool marked = false; // MPL:MARK = 1
};

// The enterprises of an entity (m_Place joined to m_Enterprise), in key order.
std::vector<EnterpriseChoice> enterprisesOf(store::Session& session, const std::string& entityGuid);

} // namespace workspace
