// SPDX-License-Identifier: LicenseRef-Kestrom
// Per-thread instances, the process-wide BrwMem and the per-thread BFormat.
#include "support/TestSupport.h"

#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/BFormat.h"
#include "store/tables/BrwMem.h"
#include "store/tables/Place.h"

#include <QDir>
#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <thread>

using namespace store;

namespace {

TEST(ThreadsTest, EachThreadHasItsOwnBufferAndPosition)
{
    testsupport::TempFolder folder;
    ASSERT_TRUE(QDir().mkpath(folder.path() + QStringLiteral("Base")));
    {
        Session s(folder.path());
        TypedTable<PlaceRecord> place(s, placeTable());
        ASSERT_EQ(place.open(), kOk);
        for (const char* e : {"a", "b", "c", "d"}) {
            place.clear();
            setText(place.rec().ENTITY, e);
            ASSERT_EQ(place.add(), kOk);
        }
    }
    std::barrier sync(2);
    std::string seen[2];
    auto worker = [&](int index, const char* start) {
        Session s(folder.path());
        TypedTable<PlaceRecord> place(s, placeTable());
        if (place.open() != kOk)
            return;
        place.clear();
        setText(place.rec().ENTITY, start);
        place.set("MPL:BYENTITY", 1);
        sync.arrive_and_wait(); // both positioned
        for (int i = 0; i < 2 && place.next() == kOk; ++i) {
            seen[index] += std::string(textOf(place.rec().ENTITY));
            sync.arrive_and_wait(); // the other thread reads in between
        }
    };
    std::thread t1(worker, 0, "a");
    std::thread t2(worker, 1, "c");
    t1.join();
    t2.join();
    EXPECT_EQ(seen[0], "ab");
    EXPECT_EQ(seen[1], "cd");
}

TEST(MemoryTablesTest, BrwMemIsSharedAndBFormatIsPerThread)
{
    testsupport::TempFolder folder;
    Session main(folder.path());
    TypedTable<BrwMemRecord> mem(main, brwMemTable());
    TypedTable<BFormatRecord> format(main, bFormatTable());
    ASSERT_EQ(mem.open(), kOk);
    ASSERT_EQ(format.open(), kOk);
    ASSERT_EQ(mem.deleteAll(), kOk);
    mem.clear();
    setText(mem.rec().IDBROWSE, "main-list");
    ASSERT_EQ(mem.add(), kOk);
    format.clear();
    format.rec().COLNUMBER = 1;
    ASSERT_EQ(format.add(), kOk);

    std::atomic<int> seenMain{-1}, formatRows{-1}, addedOwn{-1};
    std::thread other([&] {
        Session s(folder.path());
        TypedTable<BrwMemRecord> m(s, brwMemTable());
        TypedTable<BFormatRecord> f(s, bFormatTable());
        if (m.open() != kOk || f.open() != kOk)
            return;
        m.clear();
        setText(m.rec().IDBROWSE, "main-list");
        seenMain = m.fetch("BXM:BYID");
        std::int64_t n = -1;
        f.count(n);
        formatRows = static_cast<int>(n);
        f.clear();
        f.rec().COLNUMBER = 7;
        f.add();
        f.add(); // duplicates are allowed in BFormat
        m.clear();
        setText(m.rec().IDBROWSE, "other-list");
        addedOwn = m.add();
    });
    other.join();
    EXPECT_EQ(seenMain.load(), kOk);
    EXPECT_EQ(formatRows.load(), 0);
    EXPECT_EQ(addedOwn.load(), kOk);

    std::int64_t n = 0;
    ASSERT_EQ(mem.count(n), kOk);
    EXPECT_EQ(n, 2); // the other thread's list is here too
    ASSERT_EQ(format.count(n), kOk);
    EXPECT_EQ(n, 1); // its BFormat rows are not
    mem.clear();
    setText(mem.rec().IDBROWSE, "main-list");
    EXPECT_EQ(mem.add(), kDuplicateKey);
}

TEST(MemoryTablesTest, ConcurrentWritersOfBrwMemAllSucceed)
{
    testsupport::TempFolder folder;
    {
        Session s(folder.path());
        Table mem(s, brwMemTable());
        ASSERT_EQ(mem.open(), kOk);
        ASSERT_EQ(mem.deleteAll(), kOk);
    }
    std::atomic<int> failures{0};
    auto writer = [&](int id) {
        Session s(folder.path());
        TypedTable<BrwMemRecord> mem(s, brwMemTable());
        if (mem.open() != kOk) {
            ++failures;
            return;
        }
        for (int i = 0; i < 50; ++i) {
            mem.clear();
            setText(mem.rec().IDBROWSE, "w" + std::to_string(id) + "-" + std::to_string(i));
            if (mem.add() != kOk)
                ++failures;
            std::int64_t n = 0;
            if (mem.count(n) != kOk)
                ++failures;
        }
    };
    std::thread a(writer, 1), b(writer, 2), c(writer, 3);
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(failures.load(), 0);
    Session s(folder.path());
    Table mem(s, brwMemTable());
    ASSERT_EQ(mem.open(), kOk);
    std::int64_t n = 0;
    ASSERT_EQ(mem.count(n), kOk);
    EXPECT_EQ(n, 150);
}

} // namespace
