// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/ErrorManager.h"
#include "framework/LastError.h"
#include "framework/RecordingPresenter.h"
#include "framework/StorageErrorTexts.h"
#include "platform/Dates.h"

#include "support/TestSupport.h"

#include "framework/PrintQString.h"
#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace framework;

namespace {

class ErrorManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        installStorageErrorTexts();
        clearLastError();
        manager.setPresenter(&presenter);
        manager.setEndProgramAction([this] { ++programEnds; });
    }
    void TearDown() override { clearLastError(); }

    RecordingPresenter presenter;
    ErrorManager manager;
    int programEnds = 0;
};

} // namespace

TEST_F(ErrorManagerTest, NotificationShowsComposedTextWithOk)
{
    setLastError(35, "Base/mv08.dat");
    EXPECT_EQ(manager.report_for_file(MessageId::RecordPutFailed, QStringLiteral("m_VSD")), 5);
    ASSERT_EQ(presenter.count(), 1u);
    const MessageRequest r = presenter.shown()[0];
    EXPECT_EQ(r.caption, QStringLiteral("Запись не обновляется"));
    EXPECT_EQ(r.text, QStringLiteral(
                          "Возникла ошибка (Запись не найдена (35)) при внесении изменений в файл m_VSD."));
    EXPECT_EQ(r.buttons, unsigned(ButtonOk));
    EXPECT_TRUE(r.customButtons.isEmpty());
    EXPECT_EQ(r.icon, MessageIcon::Information);
    EXPECT_EQ(manager.currentId(), MessageId::RecordPutFailed);
    EXPECT_EQ(manager.currentLevel(), 5);
    EXPECT_EQ(programEnds, 0);
}

TEST_F(ErrorManagerTest, DriverFailureUsesDriverTextAndCode)
{
    setLastError(90, "Base/mv02.dat", 13, "database or disk is full");
    EXPECT_EQ(manager.report_for_file(MessageId::FileDamaged, QStringLiteral("m_Inside")), LevelFatal);
    EXPECT_EQ(manager.currentText(),
              QStringLiteral("Повреждена структура файла m_Inside.|Ошибка: 90 - Ошибка драйвера баз "
                             "данных|FileError: 13 - database or disk is full|"));
    EXPECT_EQ(manager.report_for_file(MessageId::FileLoadFailed, QStringLiteral("m_Inside")),
              LevelNotification);
    EXPECT_EQ(manager.currentText(),
              QStringLiteral("Ошибка загрузки файла m_Inside.  Ошибка: database or disk is full (13)."));
}

TEST_F(ErrorManagerTest, QuestionReturnsZeroForYesAndFourOtherwise)
{
    presenter.setNextAnswer(ButtonYes);
    presenter.setNextAnswer(ButtonNo);
    presenter.setNextAnswer(0); // the box closed without an answer
    EXPECT_EQ(manager.report(MessageId::AskConfirmDelete), 0);
    EXPECT_EQ(manager.report(MessageId::AskSaveChanges), 4);
    EXPECT_EQ(manager.report(MessageId::AskCancelChanges), 4);
    const auto shown = presenter.shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Подтвердите Удаление"));
    EXPECT_EQ(shown[0].text, QStringLiteral("Вы уверены, что желаете удалить выделенную запись ?"));
    EXPECT_EQ(shown[0].buttons, unsigned(ButtonYes | ButtonNo));
    EXPECT_EQ(shown[0].icon, MessageIcon::Warning);
}

TEST_F(ErrorManagerTest, FatalMessagesEndTheProgramAfterOk)
{
    setLastError(2, "Base/mv01.dat");
    EXPECT_EQ(manager.report_for_file(MessageId::FileOpenFailed, QStringLiteral("m_Vetis")), 3);
    EXPECT_EQ(programEnds, 1);
    const MessageRequest r = presenter.shown().back();
    EXPECT_EQ(r.caption, QStringLiteral("Ошибка доступа к файлу"));
    EXPECT_EQ(r.text, QStringLiteral(
                          "Файл m_Vetis не может быть открыт.  Ошибка: Файл не найден (2).  Press OK to end "
                          "this application"));
    EXPECT_EQ(r.buttons, unsigned(ButtonOk));
    EXPECT_EQ(r.icon, MessageIcon::Information);

    // A program error (level 2) is handled as fatal too.
    EXPECT_EQ(manager.report_for_file(MessageId::FileNotOpen, QStringLiteral("m_Refs")), 3);
    EXPECT_EQ(programEnds, 2);
    EXPECT_TRUE(presenter.shown().back().text.endsWith(QStringLiteral("  Press OK to end this application")));
}

TEST_F(ErrorManagerTest, SilentManagerShowsNothingButStillEndsOnFatal)
{
    manager.setSilent(true);
    EXPECT_EQ(manager.report(MessageId::RecordChangedElsewhere), 5);
    EXPECT_EQ(manager.report(MessageId::AskConfirmDelete), 0); // the question's default, Yes
    EXPECT_EQ(manager.report(MessageId::FileOpenFailed), 3);
    EXPECT_EQ(presenter.count(), 0u);
    EXPECT_EQ(programEnds, 1);
}

TEST_F(ErrorManagerTest, HistoryKeepsTheNewestTextsCut)
{
    manager.setHistoryThreshold(2);
    EXPECT_EQ(manager.report_with_text(MessageId::ProcedureNotDefined, QStringLiteral("Первая")),
              LevelNotification);
    EXPECT_EQ(manager.report_with_text(MessageId::ProcedureNotDefined, QString(1500, u'x')),
              LevelNotification);
    EXPECT_EQ(manager.report_with_text(MessageId::ProcedureNotDefined, QStringLiteral("Третья")),
              LevelNotification);
    auto history = manager.history();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].text.size(), kHistoryTextBytes);
    EXPECT_EQ(history[1].text, QStringLiteral("Процедура Третья не была определена."));
    EXPECT_EQ(history[1].category, QStringLiteral("QFX"));
    EXPECT_EQ(history[1].level, 5);
}

TEST_F(ErrorManagerTest, HistoryWindowReplacesDialogsOfTheViewLevel)
{
    manager.setHistoryThreshold(10);
    manager.setHistoryReset(true);
    EXPECT_EQ(manager.report(MessageId::RecordChangedElsewhere),
              LevelNotification); // level 5: an ordinary box
    EXPECT_EQ(presenter.count(), 1u);
    EXPECT_EQ(manager.report(MessageId::KeyRebuildFailed), 3); // level 3 = history view level
    EXPECT_EQ(presenter.count(), 1u);
    const auto histories = presenter.historiesShown();
    ASSERT_EQ(histories.size(), 1u);
    ASSERT_EQ(histories[0].size(), 2u);
    EXPECT_EQ(histories[0][1].level, 3);
    EXPECT_TRUE(manager.history().empty()); // reset after showing
    EXPECT_EQ(programEnds, 1);

    EXPECT_EQ(manager.report(MessageId::RecordChangedElsewhere), LevelNotification);
    manager.show_history();
    ASSERT_EQ(presenter.historiesShown().size(), 2u);
    EXPECT_EQ(presenter.historiesShown()[1].size(), 1u);
}

TEST_F(ErrorManagerTest, LogFileGetsOneLinePerMessage)
{
    testsupport::TempFolder dir;
    const QString log = dir.file(QStringLiteral("errors.log"));
    platform::setClockForTesting([] { return QDateTime(QDate(2024, 4, 25), QTime(9, 5, 7)); });
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    manager.setLogFileName(log);
    manager.setLogging(true);
    EXPECT_EQ(manager.report(MessageId::NoRecords), LevelNotification);
    EXPECT_EQ(manager.report(MessageId::RecordChangedElsewhere), LevelNotification);
    platform::setClockForTesting({});
    QLocale::setDefault(QLocale::c());

    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("25.04.2024 09:05:07 --> Нет записей доступных процессу."));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" --> Запись была изменена другой рабочей станцией.")));
}

TEST_F(ErrorManagerTest, LogThatCannotBeOpenedIsReportedAndTheMessageStillShown)
{
    testsupport::TempFolder dir;
    manager.setLogFileName(dir.file(QStringLiteral("no/such/folder/errors.log")));
    manager.setLogging(true);
    EXPECT_EQ(manager.report(MessageId::NoRecords), 5);
    const auto shown = presenter.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[0].text.startsWith(QStringLiteral("Unable to Open error log; ")));
    EXPECT_EQ(shown[1].text, QStringLiteral("Нет записей доступных процессу."));
}

TEST_F(ErrorManagerTest, UnknownNumberIsShownWithoutEndingTheProgram)
{
    EXPECT_EQ(manager.report(static_cast<MessageId>(999)), 5);
    EXPECT_EQ(programEnds, 0);
    EXPECT_TRUE(presenter.shown()[0].text.contains(QStringLiteral("999")));
}

TEST_F(ErrorManagerTest, PlaceholderValuesBelongToTheirThread)
{
    manager.set_file_name(QStringLiteral("main-thread-file"));
    std::thread other([this] {
        manager.set_file_name(QStringLiteral("other-thread-file"));
        EXPECT_EQ(manager.report(MessageId::FileReadOnly), LevelNotification);
    });
    other.join();
    EXPECT_EQ(manager.report(MessageId::FileReadOnly), LevelNotification);
    const auto shown = presenter.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("other-thread-file")));
    EXPECT_TRUE(shown[1].text.contains(QStringLiteral("main-thread-file")));

    // A new manager does not inherit an old one's values.
    ErrorManager fresh;
    fresh.setPresenter(&presenter);
    EXPECT_EQ(fresh.report(MessageId::FileReadOnly), LevelNotification);
    EXPECT_EQ(presenter.shown().back().text,
              QStringLiteral("Невозможно производить запись в файл  поэтому осуществляется только чтение."));
}

TEST_F(ErrorManagerTest, ManyThreadsReportIntoOneHistory)
{
    manager.setHistoryThreshold(50);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([this, t] {
            for (int i = 0; i < 50; ++i)
                EXPECT_EQ(manager.report_with_text(MessageId::ProcedureNotDefined,
                                                   QStringLiteral("%1-%2").arg(t).arg(i)),
                          LevelNotification);
        });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(manager.history().size(), 50u);
    EXPECT_EQ(presenter.count(), 200u);
}
