// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/VsdCardTexts.h"

#include "framework/ErrorManager.h"
#include "framework/LastError.h"
#include "platform/CodePage.h"
#include "store/BuiltInRows.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Entity.h"
#include "store/tables/Refs.h"
#include "store/tables/Vsd.h"
#include "workspace/CodeTexts.h"

#include <cmath>
#include <cstdio>

namespace workspace {

namespace {

constexpr int kCardProductKind = 12;
constexpr int kCardSubProductKind = 13;

QString vsdCardFieldText(std::string_view cp1251)
{
    return platform::fromCp1251(store::clip(cp1251));
}

const QString kCardUnknownText = QStringLiteral("???");

// Reports a failed read or write of m_VSD and leaves the caller's window as it is.
void reportVsdFailure(framework::MessageId id, const store::Table& table)
{
    framework::ErrorManager& em = framework::errorManager();
    em.set_file_name(table.filePath());
    static_cast<void>(em.report(id));
}

} // namespace

bool isGuid(std::string_view text)
{
    const std::string_view guid = store::clip(text);
    return guid.size() == 36 && guid.find(' ') == std::string_view::npos;
}

QString originText(std::string_view code)
{
    struct Origin
    {
        std::string_view code;
        const char16_t* text;
    };
    static constexpr Origin kOrigins[] = {
        {"CATTLE_SLAUGHTER", u"Боенское"},
        {"LOSS_OF_CATTLE", u"Палое"},
        {"MANUFACTURED", u"Промышленное"},
        {"MIXED", u"Сборное"},
        {"FROM_HEALTHY_ANIMALS", u"Получено от здоровых животных"},
        {"FROM_SICK_ANIMALS", u"Получено от больных животных"},
    };
    const std::string_view clipped = store::clip(code);
    for (const Origin& o : kOrigins)
        if (o.code == clipped)
            return QString::fromUtf16(o.text);
    return vsdCardFieldText(code);
}

QString localReferenceName(store::Session& session, int kind, std::string_view guid)
{
    if (store::isBlank(guid))
        return {};
    store::TypedTable<store::RefsRecord> refs(session, store::refsTable());
    if (refs.open() != store::kOk)
        return {};
    refs.clear();
    store::setText(refs.rec().GUID, store::clip(guid));
    if (refs.fetch("MRE:BYGUID") != store::kOk || refs.rec().VID != kind)
        return {};
    return platform::fromCp1251(store::withoutLeadingBlanks(store::textOf(refs.rec().NAME)));
}

QString localEntityName(store::Session& session, std::string_view guid)
{
    if (!isGuid(guid))
        return {};
    store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
    if (entities.open() != store::kOk)
        return {};
    entities.clear();
    store::setText(entities.rec().GUID, store::clip(guid));
    if (entities.fetch("MEN:BYGUID") != store::kOk)
        return {};
    return platform::fromCp1251(store::withoutLeadingBlanks(store::textOf(entities.rec().NAME)));
}

VsdCardTexts vsdCardTexts(store::Session& session, store::VsdRecord& r)
{
    VsdCardTexts t;
    t.type = vsdTypeText(store::ztextOf(r.VETDTYPE), UnknownCode::fixed(kCardUnknownText));
    t.status = statusText(r.CODSTATUS, UnknownCode::fixed(kCardUnknownText));
    t.form = formText(store::ztextOf(r.VETDFORM));
    t.origin = originText(store::ztextOf(r.NONFOODSOURCE));

    if (r.PRODTYPE != 0) {
        char key[8];
        std::snprintf(key, sizeof key, "11-%02u", static_cast<unsigned>(r.PRODTYPE % 100));
        t.productType = localReferenceName(session, store::kProductTypeKind, key);
    }
    t.product = localReferenceName(session, kCardProductKind, store::textOf(r.PRODUCT));
    t.productKind = localReferenceName(session, kCardSubProductKind, store::textOf(r.SUBPRODUCT));
    t.owner = localEntityName(session, store::textOf(r.OWNER));
    t.carrier = localEntityName(session, store::textOf(r.BROKER));

    if (isGuid(store::textOf(r.PURPOSE))) {
        t.purposeSet = true;
        t.purpose = localReferenceName(session, kPurposeKind, store::textOf(r.PURPOSE));
    } else {
        store::setText(r.PURPOSE, "");
    }

    t.transportType1 = transportTypeText(r.TRANSPORTTYPE1);
    t.transportNumber1 = TransportNumberText(
        r.TRANSPORTTYPE1, vsdCardFieldText(store::ztextOf(r.VEHICLENUMBER1)),
        vsdCardFieldText(store::ztextOf(r.TRAILERNUMBER1)),
        vsdCardFieldText(store::ztextOf(r.CONTAINERNUMBER1)),
        vsdCardFieldText(store::ztextOf(r.WAGONNUMBER1)), vsdCardFieldText(store::ztextOf(r.FLIGHTNUMBER1)),
        vsdCardFieldText(store::ztextOf(r.SHIPNAME1)));
    t.transportType2 = transportTypeText(r.TRANSPORTTYPE2);
    t.transportNumber2 = TransportNumberText(
        r.TRANSPORTTYPE2, vsdCardFieldText(store::ztextOf(r.VEHICLENUMBER2)),
        vsdCardFieldText(store::ztextOf(r.TRAILERNUMBER2)),
        vsdCardFieldText(store::ztextOf(r.CONTAINERNUMBER2)),
        vsdCardFieldText(store::ztextOf(r.WAGONNUMBER2)), vsdCardFieldText(store::ztextOf(r.FLIGHTNUMBER2)),
        vsdCardFieldText(store::ztextOf(r.SHIPNAME2)));

    t.storageType = storageTypeText(store::ztextOf(r.TRSTORAGETYPE));
    if (r.PERISHABLE == 1)
        t.perishable = QStringLiteral("Скоропортящийся груз");
    if (r.LOWGRADECARGO == 1)
        t.lowGrade = QStringLiteral("Некачественный груз");
    return t;
}

std::vector<ReferenceChoice> localReferenceChoices(store::Session& session, int kind)
{
    std::vector<ReferenceChoice> out;
    store::TypedTable<store::RefsRecord> refs(session, store::refsTable());
    if (refs.open() != store::kOk)
        return out;
    refs.clear();
    refs.rec().VID = static_cast<std::uint8_t>(kind);
    if (refs.set("MRE:BYNAME", 1) != store::kOk)
        return out;
    while (refs.next() == store::kOk && refs.rec().VID == kind) {
        const std::string_view guid = store::textOf(refs.rec().GUID);
        if (!isGuid(guid))
            continue;
        out.push_back({std::string(guid),
                       platform::fromCp1251(store::withoutLeadingBlanks(store::textOf(refs.rec().NAME)))});
    }
    return out;
}

void applyVsdCardChanges(const VsdCardChanges& changes, store::VsdRecord& r)
{
    const double volume = std::isfinite(changes.volume) ? std::round(changes.volume * 1000.0) / 1000.0 : 0.0;
    r.KOLVO = volume;
    if (changes.purposeOn && isGuid(changes.purposeGuid))
        store::setText(r.PURPOSE, store::clip(changes.purposeGuid));
    else
        store::setText(r.PURPOSE, "");
    store::setZText(r.PROSPERITY, platform::toCp1251(changes.prosperity.left(kProsperityMaxLength)));
}

bool readVsdForCard(store::Session& session, std::string_view uuid, store::VsdRecord& record)
{
    store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
    framework::clearLastError();
    if (vsds.open() != store::kOk) {
        reportVsdFailure(framework::MessageId::RecordAccessFailed, vsds);
        return false;
    }
    vsds.clear();
    store::setText(vsds.rec().UUID, store::clip(uuid));
    if (vsds.fetch("MVD:BYUUID") != store::kOk) {
        reportVsdFailure(framework::MessageId::RecordAccessFailed, vsds);
        return false;
    }
    record = vsds.rec();
    return true;
}

bool saveVsdCardChanges(store::Session& session, std::string_view uuid, const VsdCardChanges& changes)
{
    store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
    framework::clearLastError();
    if (vsds.open() != store::kOk) {
        reportVsdFailure(framework::MessageId::RecordPutFailed, vsds);
        return false;
    }
    vsds.clear();
    store::setText(vsds.rec().UUID, store::clip(uuid));
    if (vsds.fetch("MVD:BYUUID") != store::kOk) {
        reportVsdFailure(framework::MessageId::RecordPutFailed, vsds);
        return false;
    }
    applyVsdCardChanges(changes, vsds.rec());
    if (vsds.put() != store::kOk) {
        reportVsdFailure(framework::MessageId::RecordPutFailed, vsds);
        return false;
    }
    return true;
}

} // namespace workspace
