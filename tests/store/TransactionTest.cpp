// SPDX-License-Identifier: LicenseRef-Kestrom
// Transactions over several files: whole or nothing, also when the process
// dies, the disk fills up or another connection holds the lock.
#include "StoreTestSupport.h"
#include "support/TestSupport.h"

#include "framework/LastError.h"
#include "platform/DebugOutput.h"
#include "store/Connection.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/BFormat.h"
#include "store/tables/BrwSet.h"
#include "store/tables/Inside.h"
#include "store/tables/Vsd.h"

#include <QDir>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <memory>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace store;

namespace {

class TransactionTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("Base"))); }
    QString data() const { return m_folder.path(); }

    testsupport::TempFolder m_folder;
};

void fillVsd(VsdRecord& r, const std::string& uuid, int date)
{
    std::memset(&r, 0, sizeof r);
    setText(r.UUID, uuid);
    setText(r.CONSIGNEEHS, "hs");
    setText(r.CONSIGNEEENT, "ent");
    r.DATE = date;
}

void fillInside(InsideRecord& r, const std::string& uuid, int number)
{
    std::memset(&r, 0, sizeof r);
    setText(r.UUID, uuid);
    r.VID = 1;
    r.NUMBER = number;
}

// Adds one VSD with `contents` rows of m_Inside, without a transaction of its own.
int addVsdWithContents(TypedTable<VsdRecord>& vsd, TypedTable<InsideRecord>& inside, const std::string& uuid,
                       int contents)
{
    fillVsd(vsd.rec(), uuid, 1);
    if (const int code = vsd.add())
        return code;
    for (int i = 1; i <= contents; ++i) {
        fillInside(inside.rec(), uuid, i);
        if (const int code = inside.add())
            return code;
    }
    return kOk;
}

std::int64_t countOf(Table& t)
{
    std::int64_t n = -1;
    EXPECT_EQ(t.count(n), kOk);
    return n;
}

TEST_F(TransactionTest, RollbackUndoesTheChangesOfBothFiles)
{
    Session s(data());
    TypedTable<VsdRecord> vsd(s, vsdTable());
    TypedTable<InsideRecord> inside(s, insideTable());
    ASSERT_EQ(vsd.open(), kOk);
    ASSERT_EQ(inside.open(), kOk);
    {
        Transaction t(s, {&vsd, &inside});
        ASSERT_EQ(t.start(), kOk);
        ASSERT_EQ(addVsdWithContents(vsd, inside, "kept", 3), kOk);
        ASSERT_EQ(t.commit(), kOk);
    }
    {
        Transaction t(s, {&vsd, &inside});
        ASSERT_EQ(t.start(), kOk);
        EXPECT_EQ(t.start(), kTransactionActive);
        ASSERT_EQ(addVsdWithContents(vsd, inside, "dropped", 2), kOk);
        // The second VSD's contents clash with the first's key: the caller rolls back.
        fillInside(inside.rec(), "dropped", 1);
        EXPECT_EQ(inside.add(), kDuplicateKey);
        t.rollback();
    }
    {
        // Not committed: the guard rolls back when it goes.
        Transaction t(s, {&vsd, &inside});
        ASSERT_EQ(t.start(), kOk);
        ASSERT_EQ(addVsdWithContents(vsd, inside, "forgotten", 2), kOk);
    }
    EXPECT_EQ(countOf(vsd), 1);
    EXPECT_EQ(countOf(inside), 3);

    // Another session (another thread's view) sees exactly the committed state.
    Session other(data());
    Table otherInside(other, insideTable());
    ASSERT_EQ(otherInside.open(), kOk);
    EXPECT_EQ(countOf(otherInside), 3);
}

TEST_F(TransactionTest, LockHeldByAnotherConnectionTimesOutWith32)
{
    Session a(data());
    Session b(data());
    Table vsdA(a, vsdTable());
    Table vsdB(b, vsdTable());
    ASSERT_EQ(vsdA.open(), kOk);
    ASSERT_EQ(vsdB.open(), kOk);

    Transaction holder(a, {&vsdA});
    ASSERT_EQ(holder.start(), kOk);
    Transaction waiter(b, {&vsdB}, 1);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(waiter.start(), kFileLocked);
    EXPECT_GE(timer.elapsed(), 900);
    EXPECT_EQ(framework::lastError().code, kFileLocked);
    EXPECT_FALSE(waiter.active());

    // The lock is released by the commit, and the waiter gets it while it waits.
    std::thread releaser([&] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); });
    releaser.join();
    ASSERT_EQ(holder.commit(), kOk);
    EXPECT_EQ(waiter.start(), kOk);
    waiter.rollback();
}

TEST_F(TransactionTest, HeldReadsShareOneLockAndNeverKeepAWriteBack)
{
    Session reader(data());
    Session other(data());
    TypedTable<VsdRecord> vsdR(reader, vsdTable());
    TypedTable<VsdRecord> vsdO(other, vsdTable());
    ASSERT_EQ(vsdR.open(), kOk);
    ASSERT_EQ(vsdO.open(), kOk);
    fillVsd(vsdO.rec(), "u1", 1);
    ASSERT_EQ(vsdO.add(), kOk);
    other.connection().useLockTimeout(1);

    reader.holdReads(true);
    vsdR.clear();
    setText(vsdR.rec().UUID, "u1");
    ASSERT_EQ(vsdR.fetch("MVD:BYUUID"), kOk);
    // The shared lock stays between reads: another session cannot write.
    fillVsd(vsdO.rec(), "u2", 1);
    EXPECT_EQ(vsdO.add(), kFileLocked);

    // The reader's own write ends the held reads and is committed at once.
    vsdR.rec().DATE = 7;
    ASSERT_EQ(vsdR.put(), kOk);
    vsdO.clear();
    setText(vsdO.rec().UUID, "u1");
    ASSERT_EQ(vsdO.fetch("MVD:BYUUID"), kOk);
    EXPECT_EQ(+vsdO.rec().DATE, 7);

    // Reads hold again; a table opened and a transaction run meanwhile work.
    ASSERT_EQ(vsdR.fetch("MVD:BYUUID"), kOk);
    TypedTable<InsideRecord> insideR(reader, insideTable());
    ASSERT_EQ(insideR.open(), kOk);
    ASSERT_EQ(vsdR.fetch("MVD:BYUUID"), kOk);
    {
        Transaction t(reader, {&insideR});
        ASSERT_EQ(t.start(), kOk);
        fillInside(insideR.rec(), "u1", 1);
        ASSERT_EQ(insideR.add(), kOk);
        ASSERT_EQ(t.commit(), kOk);
    }
    TypedTable<InsideRecord> insideO(other, insideTable());
    ASSERT_EQ(insideO.open(), kOk);
    EXPECT_EQ(countOf(insideO), 1);

    ASSERT_EQ(vsdR.fetch("MVD:BYUUID"), kOk);
    reader.holdReads(false);
    fillVsd(vsdO.rec(), "u2", 1);
    EXPECT_EQ(vsdO.add(), kOk);
}

TEST_F(TransactionTest, AWriterOnAnotherThreadWaitsForTheLockInsteadOfFailing)
{
    Session a(data());
    TypedTable<VsdRecord> vsdA(a, vsdTable());
    ASSERT_EQ(vsdA.open(), kOk);
    Transaction holder(a, {&vsdA});
    ASSERT_EQ(holder.start(), kOk);
    fillVsd(vsdA.rec(), "first", 1);
    ASSERT_EQ(vsdA.add(), kOk);

    std::atomic<int> result{-1};
    std::thread writer([&] {
        Session b(data());
        TypedTable<VsdRecord> vsdB(b, vsdTable());
        if (vsdB.open() != kOk)
            return;
        fillVsd(vsdB.rec(), "second", 2);
        result = vsdB.add(); // waits up to the busy time-out
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(holder.commit(), kOk);
    writer.join();
    EXPECT_EQ(result.load(), kOk);
    EXPECT_EQ(countOf(vsdA), 2);
}

TEST_F(TransactionTest, KilledInTheMiddleOfATransactionLeavesTheLastCommittedState)
{
    {
        Session s(data());
        TypedTable<VsdRecord> vsd(s, vsdTable());
        TypedTable<InsideRecord> inside(s, insideTable());
        ASSERT_EQ(vsd.open(), kOk);
        ASSERT_EQ(inside.open(), kOk);
        Transaction t(s, {&vsd, &inside});
        ASSERT_EQ(t.start(), kOk);
        ASSERT_EQ(addVsdWithContents(vsd, inside, "committed", 4), kOk);
        ASSERT_EQ(t.commit(), kOk);
    }
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        Session s(data());
        TypedTable<VsdRecord> vsd(s, vsdTable());
        TypedTable<InsideRecord> inside(s, insideTable());
        if (vsd.open() || inside.open())
            _exit(2);
        Transaction t(s, {&vsd, &inside});
        if (t.start())
            _exit(3);
        // Enough rows to spill pages to both files before the commit.
        for (int i = 0; i < 300; ++i)
            if (addVsdWithContents(vsd, inside, "lost-" + std::to_string(i), 5))
                _exit(4);
        const char c = 'x';
        if (write(ready[1], &c, 1) != 1)
            _exit(5);
        pause();
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);

    Session s(data());
    TypedTable<VsdRecord> vsd(s, vsdTable());
    TypedTable<InsideRecord> inside(s, insideTable());
    ASSERT_EQ(vsd.open(), kOk);
    ASSERT_EQ(inside.open(), kOk);
    EXPECT_EQ(countOf(vsd), 1);
    EXPECT_EQ(countOf(inside), 4);
    setText(vsd.rec().UUID, "committed");
    EXPECT_EQ(vsd.fetch("MVD:BYUUID"), kOk);
}

TEST_F(TransactionTest, KilledAtRandomMomentsNeverLeavesTheFilesApart)
{
    // A child commits transactions that add one VSD and one contents row each;
    // it is killed at some moment, possibly inside a commit. Both files must
    // always hold the same number of rows.
    std::int64_t committed = 0;
    for (int round = 0; round < 4; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            Session s(data());
            TypedTable<VsdRecord> vsd(s, vsdTable());
            TypedTable<InsideRecord> inside(s, insideTable());
            if (vsd.open() || inside.open())
                _exit(2);
            for (int i = 0;; ++i) {
                Transaction t(s, {&vsd, &inside});
                if (t.start())
                    _exit(3);
                const std::string uuid = "r" + std::to_string(round) + "-" + std::to_string(i);
                if (addVsdWithContents(vsd, inside, uuid, 1) || t.commit())
                    _exit(4);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(150 + 70 * round));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself: " << WEXITSTATUS(status);

        Session s(data());
        Table vsd(s, vsdTable());
        Table inside(s, insideTable());
        ASSERT_EQ(vsd.open(), kOk);
        ASSERT_EQ(inside.open(), kOk);
        EXPECT_EQ(countOf(vsd), countOf(inside)) << "round " << round;
        committed = countOf(vsd);
    }
    EXPECT_GT(committed, 0) << "no transaction was ever committed: the test proved nothing";
}

TEST_F(TransactionTest, FullDiskDuringCommitLeavesTheLastCommittedState)
{
    {
        Session s(data());
        TypedTable<VsdRecord> vsd(s, vsdTable());
        TypedTable<InsideRecord> inside(s, insideTable());
        ASSERT_EQ(vsd.open(), kOk);
        ASSERT_EQ(inside.open(), kOk);
        Transaction t(s, {&vsd, &inside});
        ASSERT_EQ(t.start(), kOk);
        ASSERT_EQ(addVsdWithContents(vsd, inside, "committed", 2), kOk);
        ASSERT_EQ(t.commit(), kOk);
    }
    const QByteArray vsdBefore = storetest::fileBytes(data() + QStringLiteral("Base/mv08.dat"));
    const QByteArray insideBefore = storetest::fileBytes(data() + QStringLiteral("Base/mv04.dat"));
    ASSERT_FALSE(vsdBefore.isEmpty());

    // No file may grow past its present size plus a little: the new pages of
    // the transaction do not fit.
    const int childResult = storetest::runInChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        Session s(data());
        TypedTable<VsdRecord> vsd(s, vsdTable());
        TypedTable<InsideRecord> inside(s, insideTable());
        if (vsd.open() || inside.open())
            return 2;
        const rlimit limit{static_cast<rlim_t>(vsdBefore.size() + 16 * 1024),
                           static_cast<rlim_t>(vsdBefore.size() + 16 * 1024)};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
        Transaction t(s, {&vsd, &inside});
        if (t.start())
            return 4;
        int code = kOk;
        for (int i = 0; i < 100 && code == kOk; ++i)
            code = addVsdWithContents(vsd, inside, "big-" + std::to_string(i), 3);
        if (code == kOk)
            code = t.commit();
        else
            t.rollback();
        // The failure is reported with the database's own code and text.
        if (code != kDriverError || framework::lastError().driverCode == 0 ||
            framework::lastError().driverText.empty())
            return 10 + code;
        return 0;
    });
    EXPECT_EQ(childResult, 0);

    EXPECT_EQ(storetest::fileBytes(data() + QStringLiteral("Base/mv08.dat")), vsdBefore);
    EXPECT_EQ(storetest::fileBytes(data() + QStringLiteral("Base/mv04.dat")), insideBefore);
    Session s(data());
    Table vsd(s, vsdTable());
    Table inside(s, insideTable());
    ASSERT_EQ(vsd.open(), kOk);
    ASSERT_EQ(inside.open(), kOk);
    EXPECT_EQ(countOf(vsd), 1);
    EXPECT_EQ(countOf(inside), 2);
}

// The file of the connection's main database: where SQLite writes the
// super-journal that keeps a commit over several files atomic. Empty for a
// temporary main database, under which each file commits on its own.
std::string mainDatabaseFile(Session& s)
{
    const char* name = sqlite3_db_filename(s.connection().db(), "main");
    return name ? name : "";
}

int commitOneVsdWithContents(Session& s, const std::string& uuid)
{
    TypedTable<VsdRecord> vsd(s, vsdTable());
    TypedTable<InsideRecord> inside(s, insideTable());
    if (const int code = vsd.open())
        return code;
    if (const int code = inside.open())
        return code;
    Transaction t(s, {&vsd, &inside});
    if (const int code = t.start())
        return code;
    if (const int code = addVsdWithContents(vsd, inside, uuid, 2))
        return code;
    return t.commit();
}

TEST(TransactionAnchorTest, ASessionMadeBeforeBaseExistsStillCommitsSeveralFilesAtomically)
{
    testsupport::TempFolder folder;
    const QString base = folder.path() + QStringLiteral("Base");
    const std::string anchor = (base + QStringLiteral("/commit.db")).toStdString();

    {
        // Nothing opened before "Base" appears.
        Session s(folder.path());
        Table early(s, vsdTable());
        EXPECT_EQ(early.open(), kPathNotFound);
        ASSERT_TRUE(QDir().mkpath(base));
        ASSERT_EQ(commitOneVsdWithContents(s, "first"), kOk);
        EXPECT_EQ(mainDatabaseFile(s), anchor);
    }
    ASSERT_TRUE(QDir(base).removeRecursively());
    {
        // The list-format file (beside "Base", not in it) opened and closed
        // before: the connection is opened anew for the table files.
        Session s(folder.path());
        {
            Table formats(s, brwSetTable());
            ASSERT_EQ(formats.open(), kOk);
            EXPECT_EQ(mainDatabaseFile(s), "");
        }
        ASSERT_TRUE(QDir().mkpath(base));
        ASSERT_EQ(commitOneVsdWithContents(s, "second"), kOk);
        EXPECT_EQ(mainDatabaseFile(s), anchor);
    }
    ASSERT_TRUE(QDir(base).removeRecursively());
    {
        // An in-memory table still open holds the connection: it cannot be
        // reopened, and the trace says that its commits are not atomic.
        std::vector<std::string> trace;
        platform::setDebugOutputListener([&](std::string_view line) { trace.emplace_back(line); });
        const std::unique_ptr<void, void (*)(void*)> stopListening(
            &trace, [](void*) { platform::setDebugOutputListener({}); });
        Session s(folder.path());
        Table memory(s, bFormatTable());
        ASSERT_EQ(memory.open(), kOk);
        ASSERT_TRUE(QDir().mkpath(base));
        ASSERT_EQ(commitOneVsdWithContents(s, "third"), kOk);
        EXPECT_EQ(mainDatabaseFile(s), "");
        ASSERT_EQ(trace.size(), 1u);
        EXPECT_NE(trace[0].find("commit.db"), std::string::npos);
    }
}

} // namespace
