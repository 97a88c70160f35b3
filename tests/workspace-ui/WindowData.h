// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "support/TestSupport.h"

#include "framework/RecordingPresenter.h"
#include "framework/WindowPositions.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/BrwMem.h"
#include "store/tables/Enterprise.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"
#include "store/tables/Vsd.h"

#include <QDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

// A data folder for the main window: the own entity with a marked enterprise
// and VSDs of that enterprise (and of another one, which must never show).
namespace windowtest {

inline constexpr const char* kOwn = "400cb70f-964e-43c0-b4a3-165de1ab3e01";
inline constexpr const char* kPlace = "88718c96-6f3d-48f7-b4b1-b64633be40f5";
inline constexpr const char* kOtherPlace = "5c1a2f3e-9b7d-4e11-8a2c-3f0d6e7b9a41";

inline std::string uuidOf(int n)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "00000000-0000-4000-8000-%012d", n);
    return buf;
}

struct VsdSeed
{
    int n = 0;
    int daysAgo = 1; // the VSD's date, before the fixed today
    int status = 1;
    int condition = 0;
    const char* product = "Говядина охлаждённая";
    const char* place = kPlace;
};

class WindowData : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("Base")));
        framework::windowpositions::useSettingsFile(m_folder.file(QStringLiteral("Vetis.conf")));
        framework::setMessagePresenter(&m_presenter);
        forgetListFormats();
    }
    void TearDown() override
    {
        forgetListFormats();
        framework::setMessagePresenter(nullptr);
        framework::windowpositions::useSettingsFile(QString());
    }

    static QDate today() { return QDate(2024, 5, 20); }

    // The list formats a run keeps are process-wide: every test starts without.
    void forgetListFormats()
    {
        store::Session s(m_folder.path());
        store::Table formats(s, store::brwMemTable());
        ASSERT_EQ(formats.open(), store::kOk);
        ASSERT_EQ(formats.deleteAll(), store::kOk);
    }

    void addOwnEntity()
    {
        store::Session s(m_folder.path());
        store::TypedTable<store::EntityRecord> entities(s, store::entityTable());
        store::TypedTable<store::EnterpriseRecord> enterprises(s, store::enterpriseTable());
        store::TypedTable<store::PlaceRecord> places(s, store::placeTable());
        ASSERT_EQ(entities.open(), store::kOk);
        ASSERT_EQ(enterprises.open(), store::kOk);
        ASSERT_EQ(places.open(), store::kOk);
        entities.clear();
        entities.rec().HOME = 1;
        store::setText(entities.rec().GUID, kOwn);
        store::setText(entities.rec().NAME, platform::toCp1251(u"ООО \"Ромашка\""));
        ASSERT_EQ(entities.add(), store::kOk);
        for (const char* guid : {kPlace, kOtherPlace}) {
            enterprises.clear();
            store::setText(enterprises.rec().GUID, guid);
            store::setText(enterprises.rec().NAME,
                           platform::toCp1251(guid == kPlace ? u"Склад №1" : u"Магазин на Ленина"));
            enterprises.rec().TYPE = 1;
            ASSERT_EQ(enterprises.add(), store::kOk);
            places.clear();
            store::setText(places.rec().ENTITY, kOwn);
            store::setText(places.rec().ENTERPRISE, guid);
            places.rec().MARK = guid == kPlace ? 1 : 0;
            ASSERT_EQ(places.add(), store::kOk);
        }
    }

    void addVsds(const std::vector<VsdSeed>& seeds)
    {
        store::Session s(m_folder.path());
        store::TypedTable<store::VsdRecord> vsds(s, store::vsdTable());
        ASSERT_EQ(vsds.open(), store::kOk);
        store::Transaction t(s, {&vsds});
        ASSERT_EQ(t.start(), store::kOk);
        for (const VsdSeed& v : seeds) {
            vsds.clear();
            store::VsdRecord& r = vsds.rec();
            store::setText(r.UUID, uuidOf(v.n));
            store::setText(r.CONSIGNEEHS, kOwn);
            store::setText(r.CONSIGNEEENT, v.place);
            r.DATE = platform::dayNumber(today().addDays(-v.daysAgo));
            r.CODSTATUS = static_cast<std::uint8_t>(v.status);
            r.CONDITION = static_cast<std::uint8_t>(v.condition);
            store::setZText(r.VETDSTATUS, v.status == 1   ? "CONFIRMED"
                                          : v.status == 3 ? "UTILIZED"
                                                          : "WITHDRAWN");
            store::setZText(r.PRODITEMNAME, platform::toCp1251(QString::fromUtf8(v.product)));
            store::setZText(r.ISSUESERIES, platform::toCp1251(u"ВСД"));
            store::setZText(r.ISSUENUMBER, std::to_string(100000 + v.n));
            store::setZText(r.VOLUME, "120.5");
            r.KOLVO = v.n % 5 == 0 ? 100.0 : 120.5;
            store::setZText(r.UNITNAME, platform::toCp1251(u"кг"));
            store::setText(r.CONSIGNORHS, "11111111-2222-4333-8444-555555555555");
            store::setZText(r.CONSIGNORNAME, platform::toCp1251(u"АО \"Мясокомбинат\""));
            r.RESERVEDAY = 10 - v.n % 15;
            r.RESERVEPROC = 50 - v.n % 40;
            r.MARK = r.RESERVEDAY <= 0 ? 1 : r.RESERVEPROC < 30 ? 2 : 0;
            ASSERT_EQ(vsds.add(), store::kOk);
        }
        ASSERT_EQ(t.commit(), store::kOk);
    }

    testsupport::TempFolder m_folder;
    framework::RecordingPresenter m_presenter;
};

} // namespace windowtest
