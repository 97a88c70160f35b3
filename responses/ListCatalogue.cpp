// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/ListCatalogue.h"

#include "responses/ReferenceLists.h"
#include "responses/VsdList.h"

#include <array>

namespace responses {

std::span<const ListKind> listKinds()
{
    static const std::array<ListKind, 16> kinds{{
        {"vsd", &VsdRow::layout(), true},
        {"country", &CountryRow::layout(), false},
        {"region", &RegionRow::layout(), false},
        {"district", &DistrictRow::layout(), false},
        {"locality", &LocalityRow::layout(), false},
        {"street", &StreetRow::layout(), false},
        {"purpose", &NamedRefRow::purposeLayout(), false},
        {"disease", &NamedRefRow::diseaseLayout(), false},
        {"researchMethod", &NamedRefRow::researchMethodLayout(), false},
        {"unit", &UnitRow::layout(), false},
        {"product", &ProductRow::layout(), false},
        {"subProduct", &SubProductRow::layout(), false},
        {"productItem", &ProductItemRow::layout(), false},
        {"businessEntity", &BusinessEntityRow::layout(), false},
        {"enterprise", &EnterpriseRow::layout(), false},
        {"activityLocation", &ActivityLocationRow::layout(), false},
    }};
    return kinds;
}

const ListKind* findListKind(std::string_view name)
{
    for (const ListKind& k : listKinds())
        if (k.name == name)
            return &k;
    return nullptr;
}

} // namespace responses
