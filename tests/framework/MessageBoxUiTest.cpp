// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/ErrorManager.h"
#include "framework/ui/Controls.h"
#include "framework/ui/HistoryDialog.h"
#include "framework/ui/QtMessagePresenter.h"

#include "framework/PrintQString.h"
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace framework;
using framework::ui::QtMessagePresenter;

namespace {

QStringList buttonTexts(const QMessageBox& box)
{
    QStringList texts;
    for (QAbstractButton* b : box.buttons())
        texts << b->text();
    texts.sort();
    return texts;
}

QAbstractButton* buttonWithText(QMessageBox& box, const QString& text)
{
    for (QAbstractButton* b : box.buttons())
        if (b->text() == text)
            return b;
    return nullptr;
}

class MessageBoxUiTest : public ::testing::Test
{
protected:
    void SetUp() override { setStandardButtonCaptions(programButtonCaptions()); }
    void TearDown() override
    {
        QtMessagePresenter::setAnswerHook({});
        QtMessagePresenter::setHistoryHook({});
        setStandardButtonCaptions(QStringLiteral("&OK,&Yes,&No,&Abort,&Retry,&Ignore,&Cancel,&Help"));
    }
};

} // namespace

TEST_F(MessageBoxUiTest, ProgramStylesLookAsAgreed)
{
    QtMessagePresenter presenter;
    std::vector<std::tuple<QString, QString, QStringList, QString, QMessageBox::Icon>> seen;
    QtMessagePresenter::setAnswerHook([&](QMessageBox& box) -> QAbstractButton* {
        seen.emplace_back(box.windowTitle(), box.text(), buttonTexts(box),
                          box.defaultButton() ? box.defaultButton()->text() : QString(), box.icon());
        return buttonWithText(box, QStringLiteral("&1. Да"));
    });

    informationMessage(presenter, QStringLiteral("Готово|Строка 2"));
    problemMessage(presenter, QStringLiteral("Беда"), true);
    EXPECT_TRUE(questionMessage(presenter, QStringLiteral("Удалить ?")));

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(std::get<0>(seen[0]), QStringLiteral("Сообщение"));
    EXPECT_EQ(std::get<1>(seen[0]), QStringLiteral("Готово\nСтрока 2"));
    EXPECT_EQ(std::get<2>(seen[0]), QStringList{QStringLiteral("&1. Закрыть")});
    EXPECT_EQ(std::get<4>(seen[0]), QMessageBox::Information);
    EXPECT_EQ(std::get<0>(seen[1]), QStringLiteral("У нас проблема !"));
    EXPECT_EQ(std::get<0>(seen[2]), QStringLiteral("Вопрос"));
    EXPECT_EQ(std::get<2>(seen[2]), (QStringList{QStringLiteral("&1. Да"), QStringLiteral("&2. Нет")}));
    EXPECT_EQ(std::get<3>(seen[2]), QStringLiteral("&2. Нет")); // No preselected
    EXPECT_EQ(std::get<4>(seen[2]), QMessageBox::Warning);
}

TEST_F(MessageBoxUiTest, StandardButtonsCarryTheirAnswersAndCaptions)
{
    MessageRequest r;
    r.caption = QStringLiteral("c");
    r.buttons = ButtonAbort | ButtonRetry | ButtonIgnore | ButtonCancel | ButtonHelp | ButtonOk;
    r.defaultButton = ButtonRetry;
    auto box = ui::buildMessageBox(r);
    EXPECT_EQ(buttonTexts(*box), (QStringList{QStringLiteral("&OK"), QStringLiteral("&Игнорировать"),
                                              QStringLiteral("&Отменить"), QStringLiteral("&Повторить"),
                                              QStringLiteral("&Справка"), QStringLiteral("Пре&рвать")}));
    EXPECT_EQ(ui::answerOf(box->defaultButton()), int(ButtonRetry));
    EXPECT_EQ(ui::answerOf(buttonWithText(*box, QStringLiteral("&Справка"))), int(ButtonHelp));
    EXPECT_EQ(ui::answerOf(box->escapeButton()), int(ButtonCancel));

    // Custom buttons answer with their number.
    MessageRequest c;
    c.customButtons = {QStringLiteral("Один"), QStringLiteral("Два")};
    c.defaultCustomButton = 2;
    QtMessagePresenter presenter;
    QtMessagePresenter::setAnswerHook([](QMessageBox& box) { return box.defaultButton(); });
    EXPECT_EQ(presenter.present(c), 2);
    // A hook that presses nothing gives the escape button (No) of a question.
    QtMessagePresenter::setAnswerHook([](QMessageBox&) { return nullptr; });
    EXPECT_FALSE(questionMessage(presenter, QStringLiteral("?")));
}

TEST_F(MessageBoxUiTest, BoxesAskedOnAnotherThreadAreShownByTheGuiThread)
{
    QtMessagePresenter presenter;
    bool onGuiThread = false;
    QtMessagePresenter::setAnswerHook([&](QMessageBox& box) {
        onGuiThread = QThread::currentThread() == qApp->thread();
        return box.buttons().constFirst();
    });
    std::atomic<int> answer{0};
    std::thread worker([&] { answer = presenter.present(MessageRequest{}); });
    // The GUI thread serves the request while the worker waits.
    while (answer == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    EXPECT_TRUE(onGuiThread);
    EXPECT_EQ(answer, int(ButtonOk));
}

TEST_F(MessageBoxUiTest, ErrorManagerQuestionsGoThroughTheBoxes)
{
    QtMessagePresenter presenter;
    ErrorManager manager;
    manager.setPresenter(&presenter);
    QString caption;
    QtMessagePresenter::setAnswerHook([&](QMessageBox& box) {
        caption = box.windowTitle();
        return buttonWithText(box, QStringLiteral("&2. Нет"));
    });
    EXPECT_EQ(manager.report(MessageId::AskConfirmDelete), 4);
    EXPECT_EQ(caption, QStringLiteral("Подтвердите Удаление"));

    int rows = -1;
    QString title;
    QtMessagePresenter::setHistoryHook([&](QDialog& d) {
        auto& history = static_cast<ui::HistoryDialog&>(d);
        rows = history.rowCount();
        title = d.windowTitle();
        EXPECT_EQ(history.rowText(0, 0), QStringLiteral("QFX"));
    });
    manager.setHistoryThreshold(5);
    manager.setSilent(true);
    EXPECT_EQ(manager.report(MessageId::RecordChangedElsewhere), LevelNotification);
    EXPECT_EQ(manager.report(MessageId::NoRecords), LevelNotification);
    manager.show_history();
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(title, QStringLiteral("Errors History"));
}

TEST(Controls, AreFoundByTheirName)
{
    QWidget window;
    window.setObjectName(QStringLiteral("Browse_VSD2"));
    auto* edit = ui::named(new QLineEdit(&window), QStringLiteral("LOC:ENTITYNAME"));
    EXPECT_EQ(ui::control<QLineEdit>(&window, QStringLiteral("LOC:ENTITYNAME")), edit);
    EXPECT_EQ(ui::control<QPushButton>(&window, QStringLiteral("LOC:ENTITYNAME")), nullptr);
    EXPECT_EQ(ui::control(&window, QStringLiteral("BRequest")), nullptr);
    EXPECT_EQ(ui::control(&window, QStringLiteral("Browse_VSD2")), &window);
}
