// SPDX-License-Identifier: LicenseRef-Kestrom
// The access check of the settings window against the VetIS test double: it
// sends what the window shows, tells the verdict, keeps the window's commands
// out of the way meanwhile, and a window closed in the middle stops it.
#include "vetis/ui/SetVetisApiDialog.h"

#include "platform/Dates.h"
#include "store/RecordText.h"
#include "support/FakeVetisSettingsRepository.h"
#include "support/RunnerTestSupport.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using runnertest::waitWithEvents;
using vetis::ui::SetVetisApiDialog;

namespace {

const QString kPassed = QStringLiteral("Доступ к сервису Ветис.API проверен: сервис ответил.");

class SetVetisApiCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::setMessagePresenter(&presenter);
        ASSERT_TRUE(sim.start()) << sim.errorString();
        vetis::setEndpointBaseOverride(sim.baseUrl());
        // What is stored is wrong; the window is where the right values are typed.
        store::VetisRecord stored = runnertest::simSettings(sim, 1);
        store::setZText(stored.PASSWORD, "stored-password");
        repo.records[vetissim::known::kOwnEntityGuid] = stored;
    }
    void TearDown() override
    {
        vetis::clearEndpointOverrides();
        framework::setMessagePresenter(nullptr);
    }

    std::unique_ptr<SetVetisApiDialog> open()
    {
        vetis::ui::SetVetisApiHooks hooks;
        auto d = std::make_unique<SetVetisApiDialog>(repo, vetissim::known::kOwnEntityGuid, hooks);
        d->show();
        return d;
    }

    template <class T>
    static T* child(QWidget& w, const char* name)
    {
        T* c = w.findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static void setPassword(QWidget& w, const std::string& password)
    {
        child<QLineEdit>(w, "MVS:PASSWORD")->setText(QString::fromStdString(password));
    }
    static void setAnswerMode(QWidget& w, int mode)
    {
        const QByteArray name = "ANSWER" + QByteArray::number(mode);
        child<QRadioButton>(w, name.constData())->setChecked(true);
    }
    static bool commandsEnabled(QWidget& w)
    {
        return child<QPushButton>(w, "YES")->isEnabled() && child<QPushButton>(w, "NO")->isEnabled() &&
               child<QPushButton>(w, "CHECKACCESS")->isEnabled();
    }
    static bool commandsDisabled(QWidget& w)
    {
        return !child<QPushButton>(w, "YES")->isEnabled() && !child<QPushButton>(w, "NO")->isEnabled() &&
               !child<QPushButton>(w, "CHECKACCESS")->isEnabled();
    }

    void slowAnswers(int ms)
    {
        vetissim::FaultRule slow;
        slow.kind = vetissim::FaultKind::Delay;
        slow.delayMs = ms;
        slow.times = -1;
        sim.addFault(slow);
    }

    runnertest::ThreadNotingPresenter presenter;
    vetissim::VetisSim sim{runnertest::quickSimConfig()};
    FakeVetisSettingsRepository repo;
};

} // namespace

TEST_F(SetVetisApiCheckTest, GoodSettingsAsTypedPassWithoutBeingSaved)
{
    auto d = open();
    auto* check = child<QPushButton>(*d, "CHECKACCESS");
    EXPECT_EQ(check->text(), QStringLiteral(" Проверить доступ"));
    EXPECT_EQ(check->toolTip(),
              QStringLiteral("Проверить доступ к сервису Ветис.API с указанными параметрами"));
    auto* bar = child<QProgressBar>(*d, "CHECKPROGRESS");
    auto* cancel = child<QPushButton>(*d, "CANCELCHECK");
    EXPECT_TRUE(bar->isHidden());
    EXPECT_TRUE(cancel->isHidden());

    setPassword(*d, sim.config().password);
    check->click();
    EXPECT_TRUE(d->checkRunning());
    EXPECT_TRUE(commandsDisabled(*d)) << "Да, Нет and the check wait for the check";
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(cancel->isVisible());
    EXPECT_TRUE(cancel->isEnabled());

    ASSERT_TRUE(waitWithEvents([&] { return !d->checkRunning(); }, 10000));
    ASSERT_TRUE(waitWithEvents([&] { return !presenter.shown().empty(); }));
    EXPECT_EQ(presenter.texts(), std::vector<QString>{kPassed});
    EXPECT_EQ(presenter.shown()[0].request.caption, QStringLiteral("Сообщение"));
    EXPECT_TRUE(commandsEnabled(*d));
    EXPECT_TRUE(bar->isHidden());
    EXPECT_TRUE(cancel->isHidden());

    const auto received = sim.received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].operation, "getUnitListRequest");
    EXPECT_NE(received[0].body.find("<bs:count>1</bs:count>"), std::string::npos);
    EXPECT_EQ(repo.puts + repo.adds, 0) << "a check saves nothing";
    EXPECT_EQ(store::ztextOf(repo.records[vetissim::known::kOwnEntityGuid].PASSWORD), "stored-password");
    EXPECT_TRUE(d->isVisible()) << "the window stays open for the user to confirm";
}

TEST_F(SetVetisApiCheckTest, WrongPasswordIsReportedInEveryAnswerMode)
{
    for (int mode : {0, 1, 2}) {
        presenter.answer = nullptr;
        auto d = open();
        setAnswerMode(*d, mode);
        setPassword(*d, "wrong-password");
        const std::size_t before = presenter.shown().size();
        child<QPushButton>(*d, "CHECKACCESS")->click();
        ASSERT_TRUE(waitWithEvents([&] { return !d->checkRunning(); }, 10000)) << mode;
        const auto texts = presenter.texts();
        ASSERT_GT(texts.size(), before) << mode;
        const QString verdict = texts.back();
        EXPECT_TRUE(
            verdict.startsWith(QStringLiteral("Сервис Ветис.API отказал в доступе (код ответа: 401)")))
            << mode << " " << verdict.toStdString();
        EXPECT_EQ(presenter.shown().back().request.caption, QStringLiteral("У нас проблема")) << mode;
        // Modes 1 and 2 also show the service's own answer first.
        EXPECT_EQ(texts.size() - before, mode == 0 ? 1u : 2u) << mode;
        EXPECT_FALSE(verdict.contains(QStringLiteral("wrong-password")));
        EXPECT_TRUE(commandsEnabled(*d));
        d->reject();
    }
}

TEST_F(SetVetisApiCheckTest, AWrongGuidIsRefusedBeforeAnythingIsSent)
{
    auto d = open();
    child<QLineEdit>(*d, "MVS:GUID")->setText(QStringLiteral("12345"));
    child<QPushButton>(*d, "CHECKACCESS")->click();
    EXPECT_FALSE(d->checkRunning());
    EXPECT_EQ(presenter.texts(), std::vector<QString>{QStringLiteral(
                                     "Указан неверный код IssuerID для хозяйствующего субъекта !")});
    QCoreApplication::processEvents();
    EXPECT_TRUE(sim.received().empty());
}

TEST_F(SetVetisApiCheckTest, ClosingTheWindowMidCheckCancelsWaitsAndFreesEverything)
{
    slowAnswers(8000);
    // Esc (reject), the window's frame (close) and a window simply destroyed.
    for (int way : {0, 1, 2}) {
        sim.clearReceived();
        auto d = open();
        setPassword(*d, sim.config().password);
        child<QPushButton>(*d, "CHECKACCESS")->click();
        ASSERT_TRUE(waitWithEvents([&] { return !sim.received().empty(); })) << way;
        QElapsedTimer clock;
        clock.start();
        if (way == 0)
            d->reject();
        else if (way == 1)
            d->close();
        if (way != 2) {
            EXPECT_FALSE(d->checkRunning()) << way;
            EXPECT_FALSE(d->isVisible()) << way;
        }
        d.reset();
        EXPECT_LT(clock.elapsed(), 5000) << way;
        QCoreApplication::processEvents();
        EXPECT_TRUE(presenter.shown().empty()) << "a cancelled check tells nothing; way " << way;
    }
}

TEST_F(SetVetisApiCheckTest, ClosingWhileTheCheckShowsTheAnswerDoesNotDeadlock)
{
    auto d = open();
    setAnswerMode(*d, 2); // the worker asks for the answer box
    setPassword(*d, sim.config().password);
    bool closedFromTheBox = false;
    presenter.answer = [&](const framework::MessageRequest& r) {
        // The window goes while the worker waits for this box.
        if (r.caption == QStringLiteral("Ответ сервиса") && d) {
            d->reject();
            closedFromTheBox = !d->checkRunning();
        }
        return r.defaultAnswer();
    };
    child<QPushButton>(*d, "CHECKACCESS")->click();
    ASSERT_TRUE(waitWithEvents([&] { return !d->checkRunning(); }, 10000));
    EXPECT_TRUE(closedFromTheBox);
    EXPECT_FALSE(d->isVisible());
    d.reset();
    QCoreApplication::processEvents();
    presenter.answer = nullptr;
    const auto texts = presenter.texts();
    ASSERT_EQ(texts.size(), 1u) << "the answer box only, no verdict for a closed window";
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("Код ответа сервиса: 200")));
}
