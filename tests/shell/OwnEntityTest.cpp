// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/ui/OwnEntity.h"
#include "platform/CodePage.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Entity.h"

#include "framework/PrintQString.h"
#include "support/TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

void addEntity(store::TypedTable<store::EntityRecord>& t, const char* guid, std::uint8_t home,
               const QString& name)
{
    t.clear();
    store::setText(t.rec().GUID, guid);
    t.rec().HOME = home;
    store::setText(t.rec().NAME, platform::toCp1251(name));
    ASSERT_EQ(t.add(), store::kOk);
}

} // namespace

TEST(OwnEntity, NameOfTheHomeRecordIsShown)
{
    testsupport::TempFolder data;
    QDir(data.path()).mkdir(QStringLiteral("Base"));
    const QString lf = data.file(QStringLiteral("lf.dat"));
    EXPECT_TRUE(shell::ui::readOwnEntityName(data.path(), lf).isEmpty());
    {
        store::Session session(data.path(), lf);
        store::TypedTable<store::EntityRecord> t(session, store::entityTable());
        ASSERT_EQ(t.open(), store::kOk);
        addEntity(t, "00000000-0000-0000-0000-000000000001", 0, QStringLiteral("Поставщик"));
        addEntity(t, "00000000-0000-0000-0000-000000000002", 2, QStringLiteral("Другой"));
        EXPECT_TRUE(shell::ui::readOwnEntityName(data.path(), lf).isEmpty());
        addEntity(t, "00000000-0000-0000-0000-000000000003", 1, QStringLiteral("ООО «Ромашка»"));
    }
    EXPECT_EQ(shell::ui::readOwnEntityName(data.path(), lf), QStringLiteral("ООО «Ромашка»"));
}
