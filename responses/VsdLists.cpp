// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/VsdContentsLists.h"
#include "responses/VsdList.h"

namespace responses {

namespace {
constexpr std::string_view kVetDocument = "vd:vetDocument";

#define ZANVO_LAYOUT_TABLE(Record, FIELDS, array)                                                            \
    constexpr ResponseField array[] = {FIELDS(ZANVO_LAYOUT_X_##Record)};

#define ZANVO_LAYOUT_X_VsdRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(VsdRow, m, n, t, s, p)
#define ZANVO_LAYOUT_X_RefDocRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(RefDocRow, m, n, t, s, p)
#define ZANVO_LAYOUT_X_BatchIdRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(BatchIdRow, m, n, t, s, p)
#define ZANVO_LAYOUT_X_ProducerRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(ProducerRow, m, n, t, s, p)
#define ZANVO_LAYOUT_X_PackageRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(PackageRow, m, n, t, s, p)
#define ZANVO_LAYOUT_X_ConditionRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(ConditionRow, m, n, t, s, p)
#define ZANVO_LAYOUT_X_LabResearchRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(LabResearchRow, m, n, t, s, p)
#define ZANVO_LAYOUT_X_StatusChangeRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(StatusChangeRow, m, n, t, s, p)
#define ZANVO_LAYOUT_X_RoutePointRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(RoutePointRow, m, n, t, s, p)
#define ZANVO_LAYOUT_X_ImmunizationRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(ImmunizationRow, m, n, t, s, p)

ZANVO_LAYOUT_TABLE(VsdRow, ZANVO_VSD_LIST_FIELDS, kVsdFields)
ZANVO_LAYOUT_TABLE(RefDocRow, ZANVO_REFDOC_LIST_FIELDS, kRefDocFields)
ZANVO_LAYOUT_TABLE(BatchIdRow, ZANVO_BATCHID_LIST_FIELDS, kBatchIdFields)
ZANVO_LAYOUT_TABLE(ProducerRow, ZANVO_PRODUCER_LIST_FIELDS, kProducerFields)
ZANVO_LAYOUT_TABLE(PackageRow, ZANVO_PACKAGE_LIST_FIELDS, kPackageFields)
ZANVO_LAYOUT_TABLE(ConditionRow, ZANVO_CONDITION_LIST_FIELDS, kConditionFields)
ZANVO_LAYOUT_TABLE(LabResearchRow, ZANVO_LAB_LIST_FIELDS, kLabFields)
ZANVO_LAYOUT_TABLE(StatusChangeRow, ZANVO_STATUS_LIST_FIELDS, kStatusFields)
ZANVO_LAYOUT_TABLE(RoutePointRow, ZANVO_ROUTE_LIST_FIELDS, kRouteFields)
ZANVO_LAYOUT_TABLE(ImmunizationRow, ZANVO_IMMUNIZATION_LIST_FIELDS, kImmunizationFields)

// Sizes of the lists as declared field by field.
static_assert(std::size(kVsdFields) == 75);
static_assert(std::size(kRefDocFields) == 6);
static_assert(std::size(kBatchIdFields) == 2);
static_assert(std::size(kProducerFields) == 5);
static_assert(std::size(kPackageFields) == 8);
static_assert(std::size(kConditionFields) == 4);
static_assert(std::size(kLabFields) == 15);
static_assert(std::size(kStatusFields) == 14);
static_assert(std::size(kRouteFields) == 24);
static_assert(std::size(kImmunizationFields) == 9);
} // namespace

#define ZANVO_DEFINE_LAYOUT(Record, listName, array)                                                         \
    const ListLayout& Record::layout()                                                                       \
    {                                                                                                        \
        static constexpr ListLayout def{listName, kVetDocument, sizeof(Record), array};                      \
        return def;                                                                                          \
    }

ZANVO_DEFINE_LAYOUT(VsdRow, "vsd", kVsdFields)
ZANVO_DEFINE_LAYOUT(RefDocRow, "referencedDocuments", kRefDocFields)
ZANVO_DEFINE_LAYOUT(BatchIdRow, "batchIds", kBatchIdFields)
ZANVO_DEFINE_LAYOUT(ProducerRow, "producers", kProducerFields)
ZANVO_DEFINE_LAYOUT(PackageRow, "packages", kPackageFields)
ZANVO_DEFINE_LAYOUT(ConditionRow, "conditions", kConditionFields)
ZANVO_DEFINE_LAYOUT(LabResearchRow, "laboratoryResearch", kLabFields)
ZANVO_DEFINE_LAYOUT(StatusChangeRow, "statusChanges", kStatusFields)
ZANVO_DEFINE_LAYOUT(RoutePointRow, "routePoints", kRouteFields)
ZANVO_DEFINE_LAYOUT(ImmunizationRow, "immunizations", kImmunizationFields)

const ListLayout& contentsLayout(int position)
{
    switch (position) {
    case 1:
        return RefDocRow::layout();
    case 2:
        return BatchIdRow::layout();
    case 3:
        return ProducerRow::layout();
    case 4:
        return PackageRow::layout();
    case 5:
        return ConditionRow::layout();
    case 6:
        return LabResearchRow::layout();
    case 7:
        return StatusChangeRow::layout();
    case 8:
        return RoutePointRow::layout();
    default:
        return ImmunizationRow::layout();
    }
}

} // namespace responses
