// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/VsdSelection.h"

namespace workspace {

void VsdSelection::add(const std::string& uuid)
{
    if (uuid.size() == 36)
        m_uuids.insert(uuid);
}

void VsdSelection::remove(const std::string& uuid)
{
    m_uuids.erase(uuid);
}

void VsdSelection::toggle(const std::string& uuid)
{
    if (!m_uuids.erase(uuid))
        add(uuid);
}

} // namespace workspace
