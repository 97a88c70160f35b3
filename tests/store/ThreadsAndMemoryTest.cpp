// SPDX-License-Identifier: LicenseRef-Kestrom
// Per-thread instances, the process-wide BrwMem and the per-thread BFormat.
#include "StoreTestSupport.h"
#include "support/TestSupport.h"

#include "framework/ErrorManager.h"
#include "framework/LastError.h"
#include "framework/RecordingPresenter.h"
#include "framework/StorageErrorTexts.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/BFormat.h"
#include "store/tables/BrwMem.h"
#include "store/tables/Place.h"

#include <QDir>
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <atomic>
#include <barrier>
#include <thread>

using namespace store;

namespace {

// A worker's place at a barrier, given up on every way out of the worker: a
// worker that stops early (a failed assertion, a failed read) lets its
// partner go on alone instead of leaving it waiting for ever, and the test
// fails on what was read instead of hanging.
class BarrierSeat
{
public:
    explicit BarrierSeat(std::barrier<>& barrier)
        : m_barrier(barrier)
    {}
    ~BarrierSeat() { m_barrier.arrive_and_drop(); }
    BarrierSeat(const BarrierSeat&) = delete;
    BarrierSeat& operator=(const BarrierSeat&) = delete;
    void wait() { m_barrier.arrive_and_wait(); }

private:
    std::barrier<>& m_barrier;
};

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
    std::barrier<> sync(2);
    std::string seen[2];
    auto worker = [&](int index, const char* start) {
        BarrierSeat seat(sync);
        Session s(folder.path());
        TypedTable<PlaceRecord> place(s, placeTable());
        ASSERT_EQ(place.open(), kOk);
        place.clear();
        setText(place.rec().ENTITY, start);
        ASSERT_EQ(place.set("MPL:BYENTITY", 1), kOk);
        seat.wait(); // both positioned
        for (int i = 0; i < 2 && place.next() == kOk; ++i) {
            seen[index] += std::string(textOf(place.rec().ENTITY));
            seat.wait(); // the other thread reads in between
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

    std::atomic<int> seenMain{-1}, formatRows{-1}, formatAdds{0}, addedOwn{-1};
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
        if (f.count(n) == kOk)
            formatRows = static_cast<int>(n);
        f.clear();
        f.rec().COLNUMBER = 7;
        // Duplicates are allowed in BFormat.
        for (int i = 0; i < 2; ++i)
            if (f.add() == kOk)
                ++formatAdds;
        m.clear();
        setText(m.rec().IDBROWSE, "other-list");
        addedOwn = m.add();
    });
    other.join();
    EXPECT_EQ(seenMain.load(), kOk);
    EXPECT_EQ(formatRows.load(), 0);
    EXPECT_EQ(formatAdds.load(), 2);
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

TEST(MemoryTablesTest, AFailedOpenOfTheSharedMemoryIsReportedAndTriedAgain)
{
    testsupport::TempFolder folder;
    Session s(folder.path());
    Table perThread(s, bFormatTable());
    ASSERT_EQ(perThread.open(), kOk); // the session's connection is open
    Table shared(s, storetest::sharedTypesTable());
    framework::installStorageErrorTexts();
    framework::RecordingPresenter presenter;
    framework::ErrorManager manager;
    manager.setPresenter(&presenter);
    manager.setEndProgramAction([] {});

    // SQLite gets a little more memory on every attempt, so that every step
    // of opening the table fails once, until it opens.
    const sqlite3_int64 noLimit = sqlite3_hard_heap_limit64(-1);
    int code = kOk;
    int failures = 0;
    for (sqlite3_int64 room = 0; room <= 4 * 1024 * 1024; room += 256) {
        framework::clearLastError();
        sqlite3_hard_heap_limit64(sqlite3_memory_used() + room);
        code = shared.open();
        sqlite3_hard_heap_limit64(noLimit);
        if (code == kOk)
            break;
        ++failures;
        EXPECT_FALSE(shared.isOpen());
        EXPECT_EQ(framework::lastError().code, code);
        EXPECT_EQ(framework::lastError().fileName, "TstShared");
        if (room == 0) {
            EXPECT_EQ(code, kOutOfMemory);
            // The error manager has what it needs to say what went wrong.
            static_cast<void>(
                manager.report_for_file(framework::MessageId::FileOpenFailed, shared.filePath()));
            EXPECT_EQ(
                manager.currentText(),
                QStringLiteral("Файл TstShared не может быть открыт.  Ошибка: Недостаточно памяти (8)."));
        }
    }
    ASSERT_EQ(code, kOk);
    EXPECT_GT(failures, 0);
    shared.close();

    // What one session writes is still there for the next one after the
    // writer has gone: the process keeps the table even though its first
    // opens failed.
    {
        Session writer(folder.path());
        TypedTable<storetest::TypesRecord> t(writer, storetest::sharedTypesTable());
        ASSERT_EQ(t.open(), kOk);
        t.clear();
        setText(t.rec().CODE, "kept");
        ASSERT_EQ(t.add(), kOk);
    }
    Session reader(folder.path());
    Table again(reader, storetest::sharedTypesTable());
    ASSERT_EQ(again.open(), kOk);
    std::int64_t n = 0;
    ASSERT_EQ(again.count(n), kOk);
    EXPECT_EQ(n, 1);
}

} // namespace
