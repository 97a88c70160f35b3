// SPDX-License-Identifier: LicenseRef-Kestrom
// The access settings kept in the encrypted table through the driver.
#include "vetis/StoredVetisSettings.h"
#include "framework/LastError.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "support/TestSupport.h"
#include "vetis/VetisSettings.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace vetis;

namespace {
constexpr std::string_view kGuid = "400cb70f-964e-43c0-b4a3-165de1ab3e01";

store::VetisRecord settingsFor(std::string_view guid, std::string_view login)
{
    store::VetisRecord r = clearedVetisRecord();
    store::setText(r.GUID, guid);
    store::setZText(r.LOGIN, login);
    r.PERIOD = 30;
    return r;
}
} // namespace

TEST(StoredVetisSettings, AddFindPutRemoveThroughTheEncryptedTable)
{
    testsupport::TempFolder data;
    ASSERT_TRUE(QDir(data.path()).mkpath(QStringLiteral("Base")));
    store::Session session(data.path());
    StoredVetisSettings repo(session);

    EXPECT_FALSE(repo.find(kGuid).has_value());
    ASSERT_EQ(repo.add(settingsFor(kGuid, "первый")), store::kOk);
    EXPECT_EQ(repo.add(settingsFor(kGuid, "второй")), store::kDuplicateKey);
    EXPECT_EQ(framework::lastError().code, store::kDuplicateKey);

    std::optional<store::VetisRecord> found = repo.find(kGuid);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(store::ztextOf(found->LOGIN), "первый");

    found->PERIOD = 45;
    ASSERT_EQ(repo.put(*found), store::kOk);
    EXPECT_EQ(repo.find(kGuid)->PERIOD, 45);
    EXPECT_EQ(repo.put(settingsFor("11111111-2222-3333-4444-555555555555", "x")), store::kRecordNotFound);

    ASSERT_EQ(repo.remove(kGuid), store::kOk);
    EXPECT_FALSE(repo.find(kGuid).has_value());
    EXPECT_EQ(repo.remove(kGuid), store::kRecordNotFound);
}

TEST(StoredVetisSettings, AMissingDataFolderIsAFailureNotACrash)
{
    testsupport::TempFolder data;
    store::Session session(data.path() + QStringLiteral("absent/"));
    StoredVetisSettings repo(session);
    EXPECT_FALSE(repo.find(kGuid).has_value());
    EXPECT_NE(repo.add(settingsFor(kGuid, "x")), store::kOk);
}
