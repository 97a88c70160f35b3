// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/RecordText.h"
#include "store/tables/Vetis.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/VetisSettings.h"

// Access settings of an entity that the VetIS test double accepts (for tests
// that link the double).
inline store::VetisRecord simSettings(const vetissim::VetisSim& sim, const char* entityGuid)
{
    store::VetisRecord s = vetis::clearedVetisRecord();
    store::setText(s.GUID, entityGuid);
    store::setZText(s.LOGIN, sim.config().user);
    store::setZText(s.PASSWORD, sim.config().password);
    store::setZText(s.APIKEY, sim.config().apiKey);
    return s;
}
