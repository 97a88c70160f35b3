// SPDX-License-Identifier: LicenseRef-Kestrom
// The access-settings window driven as a user would, against m_Vetis in memory.
#include "support/FakeVetisSettingsRepository.h"

#include "framework/ErrorManager.h"
#include "framework/ProcessSettings.h"
#include "framework/RecordingPresenter.h"
#include "framework/StorageErrorTexts.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/RecordText.h"
#include "vetis/VetisSettings.h"
#include "vetis/ui/HoverLinkLabel.h"
#include "vetis/ui/SetVetisApiDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "support/TestSupport.h"

using vetis::ui::SetVetisApiDialog;

namespace {

constexpr std::string_view kGuid = "f5b4a9ad-3ac8-4c6e-9a9b-1e3c1f0e2d7a";
constexpr std::string_view kOtherGuid = "0d2b6e3c-8f41-4b7a-a0c5-5b9e4f1d2c63";

std::string placeholderKey()
{
    return platform::utf8ToCp1251(vetis::kGuidPlaceholderUtf8);
}

store::VetisRecord storedRecord(std::string_view guid)
{
    store::VetisRecord r = vetis::clearedVetisRecord();
    store::setText(r.GUID, guid);
    r.CDATE = platform::dayNumber(QDate(2023, 1, 9));
    r.ANSWER = 2;
    r.PERIOD = 10;
    store::setZText(r.LOGIN, "user-api");
    return r;
}

class SetVetisApiDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::setMessagePresenter(&presenter);
        platform::setClockForTesting([] { return QDateTime(QDate(2024, 4, 25), QTime(10, 30)); });
        framework::process::setUiFontSize(framework::process::kDefaultUiFontSize);
        hooks.chooseFolder = [this](QWidget*, const QString& title, const QString& start) {
            folderDialogs.push_back({title, start});
            return folderAnswer;
        };
        hooks.chooseFile = [this](QWidget*, const QString& title, const QString& start) {
            fileDialogs.push_back({title, start});
            return fileAnswer;
        };
        hooks.openUrl = [this](const QUrl& url) { openedUrls.push_back(url); };
    }
    void TearDown() override
    {
        framework::setMessagePresenter(nullptr);
        platform::setClockForTesting(nullptr);
        framework::process::setUiFontSize(framework::process::kDefaultUiFontSize);
        framework::clearLastError();
    }

    std::unique_ptr<SetVetisApiDialog> open(std::string_view guid)
    {
        return std::make_unique<SetVetisApiDialog>(repo, guid, hooks);
    }

    template <class T>
    static T* child(QWidget& w, const char* name)
    {
        T* c = w.findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static void press(QWidget& w, const char* button) { child<QPushButton>(w, button)->click(); }
    static void type(QWidget& w, const char* field, const QString& text)
    {
        child<QLineEdit>(w, field)->setText(text);
    }

    struct DialogCall
    {
        QString title, start;
    };

    FakeVetisSettingsRepository repo;
    framework::RecordingPresenter presenter;
    vetis::ui::SetVetisApiHooks hooks;
    std::vector<DialogCall> folderDialogs, fileDialogs;
    QString folderAnswer, fileAnswer;
    std::vector<QUrl> openedUrls;
};

TEST_F(SetVetisApiDialogTest, WindowHasItsCaptionButtonsAndTabs)
{
    auto d = open(kGuid);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Настройки доступа ХС к сервису Ветис.API"));
    EXPECT_EQ(child<QPushButton>(*d, "YES")->text(), QStringLiteral(" Да"));
    EXPECT_EQ(child<QPushButton>(*d, "YES")->toolTip(), QStringLiteral("Выполнить операцию"));
    EXPECT_EQ(child<QPushButton>(*d, "NO")->text(), QStringLiteral(" Нет"));
    EXPECT_EQ(child<QPushButton>(*d, "NO")->toolTip(), QStringLiteral("Отменить операцию"));
    auto* tabs = d->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral(" &1. Параметры "));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral(" &2. Дополнительно "));
    EXPECT_EQ(child<QLineEdit>(*d, "MVS:PASSWORD")->echoMode(), QLineEdit::Password);
    auto* scale = child<QComboBox>(*d, "MVS:WINSFONT");
    ASSERT_EQ(scale->count(), 8);
    EXPECT_EQ(scale->itemText(0), QStringLiteral(" 85%"));
    EXPECT_EQ(scale->itemData(0).toInt(), 2);
    EXPECT_EQ(scale->itemText(2), QStringLiteral("100% (рекомендуется)"));
    EXPECT_EQ(scale->itemData(2).toInt(), 0);
    EXPECT_EQ(scale->itemText(7), QStringLiteral("150%"));
    EXPECT_EQ(scale->itemData(7).toInt(), 8);
}

TEST_F(SetVetisApiDialogTest, NewEntityGetsRecordWithDefaultsAtOnce)
{
    auto d = open(kGuid);
    ASSERT_EQ(repo.records.count(std::string(kGuid)), 1u);
    const store::VetisRecord& r = repo.records[std::string(kGuid)];
    EXPECT_EQ(+r.CDATE, platform::dayNumber(QDate(2024, 4, 25)));
    EXPECT_EQ(+r.ANSWER, 1);
    EXPECT_EQ(+r.PERIOD, 30);
    EXPECT_EQ(+r.TEST, 0);
    EXPECT_EQ(+r.WINSFONT, 0);
    EXPECT_TRUE(vetis::tlsSettingsOf(r).verify);

    EXPECT_EQ(child<QLineEdit>(*d, "MVS:GUID")->text(), QString::fromUtf8(kGuid.data(), kGuid.size()));
    EXPECT_EQ(child<QSpinBox>(*d, "MVS:PERIOD")->value(), 30);
    EXPECT_TRUE(child<QRadioButton>(*d, "ANSWER1")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(*d, "TEST0")->isChecked());
    EXPECT_EQ(child<QLabel>(*d, "MVS:CDATE")->text(), QStringLiteral("25.04.2024"));
    EXPECT_EQ(child<QComboBox>(*d, "MVS:WINSFONT")->currentText(), QStringLiteral("100% (рекомендуется)"));
    EXPECT_FALSE(child<QCheckBox>(*d, "MVS:BYTE_03")->isChecked());
    EXPECT_TRUE(child<QLabel>(*d, "TLSWARNING")->isHidden());

    // Cancelling keeps the record of a real entity.
    press(*d, "NO");
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(repo.records.count(std::string(kGuid)), 1u);
    EXPECT_EQ(presenter.count(), 0u);
}

TEST_F(SetVetisApiDialogTest, ShortGuidOpensPlaceholderRecordThatClosingRemoves)
{
    for (std::string_view guid : {std::string_view("12345"), std::string_view(), kGuid.substr(0, 35)}) {
        auto d = open(guid);
        EXPECT_EQ(child<QLineEdit>(*d, "MVS:GUID")->text(), QStringLiteral("УКАЖИТЕ GUID ВАШЕГО ХС !"));
        ASSERT_EQ(repo.records.size(), 1u);
        EXPECT_EQ(repo.records.begin()->first, placeholderKey());
        press(*d, "NO");
        EXPECT_TRUE(repo.records.empty()) << guid;
    }
    // The window closed by its frame (or simply destroyed) cleans up as well.
    {
        auto d = open("x");
        d->show();
        d->close();
        EXPECT_TRUE(repo.records.empty());
    }
    open("x").reset();
    EXPECT_TRUE(repo.records.empty());
}

TEST_F(SetVetisApiDialogTest, PlaceholderRecordMovesToTheGuidTheUserTyped)
{
    auto d = open("");
    type(*d, "MVS:GUID", QString::fromUtf8(kGuid.data(), kGuid.size()));
    type(*d, "MVS:LOGIN", QStringLiteral("user-api"));
    press(*d, "YES");
    EXPECT_EQ(d->result(), QDialog::Accepted);
    d.reset();
    ASSERT_EQ(repo.records.size(), 1u);
    const store::VetisRecord& r = repo.records.at(std::string(kGuid));
    EXPECT_EQ(store::ztextOf(r.LOGIN), "user-api");
    EXPECT_EQ(+r.PERIOD, 30);
    EXPECT_EQ(+r.CDATE, platform::dayNumber(QDate(2024, 4, 25)));
}

TEST_F(SetVetisApiDialogTest, StoredValuesAreShownCorrected)
{
    store::VetisRecord r = storedRecord(kGuid);
    r.PERIOD = 0;
    r.WINSFONT = 12;
    r.TEST = 7;
    repo.records[std::string(kGuid)] = r;

    auto d = open(kGuid);
    EXPECT_EQ(child<QSpinBox>(*d, "MVS:PERIOD")->value(), 31);
    EXPECT_EQ(child<QComboBox>(*d, "MVS:WINSFONT")->currentText(), QStringLiteral("100% (рекомендуется)"));
    EXPECT_TRUE(child<QRadioButton>(*d, "TEST0")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(*d, "ANSWER2")->isChecked());
    EXPECT_EQ(child<QLineEdit>(*d, "MVS:LOGIN")->text(), QStringLiteral("user-api"));
    EXPECT_EQ(child<QLabel>(*d, "MVS:CDATE")->text(), QStringLiteral("09.01.2023"));
    // Opening writes nothing.
    EXPECT_EQ(repo.adds + repo.puts + repo.removes, 0);

    r.WINSFONT = 6;
    repo.records[std::string(kGuid)] = r;
    d = open(kGuid);
    EXPECT_EQ(child<QComboBox>(*d, "MVS:WINSFONT")->currentText(), QStringLiteral("130%"));
}

TEST_F(SetVetisApiDialogTest, LongStoredLoginsSurviveConfirming)
{
    // The fields hold 120 bytes; the window takes 80 when typed. A longer
    // stored login or password is shown and written back whole.
    store::VetisRecord r = storedRecord(kGuid);
    const std::string login(110, 'l');
    const std::string password(120, 'p');
    store::setZText(r.LOGIN, login);
    store::setZText(r.PASSWORD, password);
    repo.records[std::string(kGuid)] = r;
    auto d = open(kGuid);
    EXPECT_EQ(child<QLineEdit>(*d, "MVS:LOGIN")->text().size(), 110);
    press(*d, "YES");
    EXPECT_TRUE(d->written());
    const store::VetisRecord& stored = repo.records.at(std::string(kGuid));
    EXPECT_EQ(store::ztextOf(stored.LOGIN), login);
    EXPECT_EQ(store::ztextOf(stored.PASSWORD), password);
    // Short stored values keep the window's limits for typing.
    repo.records[std::string(kGuid)] = storedRecord(kGuid);
    auto usual = open(kGuid);
    EXPECT_EQ(child<QLineEdit>(*usual, "MVS:LOGIN")->maxLength(), 80);
    EXPECT_EQ(child<QLineEdit>(*usual, "MVS:PASSWORD")->maxLength(), 80);
    EXPECT_EQ(child<QLineEdit>(*usual, "MVS:WEBLOGIN")->maxLength(), 120);
}

TEST_F(SetVetisApiDialogTest, ConfirmWithBadGuidComplainsAndKeepsTheWindowOpen)
{
    repo.records[std::string(kGuid)] = storedRecord(kGuid);
    auto d = open(kGuid);
    d->show();
    type(*d, "MVS:GUID", QStringLiteral("f5b4a9ad-3ac8"));
    press(*d, "YES");

    ASSERT_EQ(presenter.count(), 1u);
    const framework::MessageRequest box = presenter.shown().front();
    EXPECT_EQ(box.caption, QStringLiteral("У нас проблема"));
    EXPECT_EQ(box.text, QStringLiteral("Указан неверный код IssuerID для хозяйствующего субъекта !"));
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(repo.puts + repo.adds, 0);

    // The user corrects it and the same window confirms.
    type(*d, "MVS:GUID", QString::fromUtf8(kGuid.data(), kGuid.size()));
    press(*d, "YES");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(presenter.count(), 1u);
}

TEST_F(SetVetisApiDialogTest, ConfirmWritesTheFieldsInTheRecordCodePage)
{
    repo.records[std::string(kGuid)] = storedRecord(kGuid);
    auto d = open(kGuid);
    const QString remark = QStringLiteral("Склад №2 «Север»");
    type(*d, "MVS:LOGIN", QStringLiteral("login-1"));
    type(*d, "MVS:PASSWORD", QStringLiteral("пароль:1"));
    type(*d, "MVS:APIKEY", QStringLiteral("YjFhZjk2ZGUtNzQ4"));
    type(*d, "MVS:WEBLOGIN", QStringLiteral("ivanov"));
    type(*d, "MVS:REMARK", remark);
    type(*d, "MVS:DUMPPATH", QStringLiteral("   /var/xml  "));
    child<QRadioButton>(*d, "TEST1")->setChecked(true);
    child<QRadioButton>(*d, "ANSWER0")->setChecked(true);
    auto* scale = child<QComboBox>(*d, "MVS:WINSFONT");
    scale->setCurrentIndex(scale->findText(QStringLiteral("130%")));
    child<QSpinBox>(*d, "MVS:PERIOD")->setValue(45);
    press(*d, "YES");

    EXPECT_TRUE(d->written());
    EXPECT_EQ(presenter.count(), 0u);
    const store::VetisRecord& r = repo.records.at(std::string(kGuid));
    EXPECT_EQ(store::ztextOf(r.LOGIN), "login-1");
    EXPECT_EQ(store::ztextOf(r.PASSWORD), platform::utf8ToCp1251("пароль:1"));
    EXPECT_EQ(store::ztextOf(r.APIKEY), "YjFhZjk2ZGUtNzQ4");
    EXPECT_EQ(store::ztextOf(r.WEBLOGIN), "ivanov");
    // One byte per letter in Windows-1251: "С" is 0xD1, "№" 0xB9, "«" 0xAB.
    const std::string_view stored = store::ztextOf(r.REMARK);
    EXPECT_EQ(stored.size(), static_cast<std::size_t>(remark.size()));
    EXPECT_EQ(static_cast<unsigned char>(stored[0]), 0xD1);
    EXPECT_EQ(static_cast<unsigned char>(stored[6]), 0xB9);
    EXPECT_EQ(platform::fromCp1251(stored), remark);
    EXPECT_EQ(QString::fromUtf8(store::ztextOf(r.DUMPPATH)), QStringLiteral("/var/xml") + QDir::separator());
    EXPECT_EQ(+r.TEST, 1);
    EXPECT_EQ(+r.ANSWER, 0);
    EXPECT_EQ(+r.WINSFONT, 6);
    EXPECT_EQ(+r.PERIOD, 45);
    EXPECT_EQ(+r.CDATE, platform::dayNumber(QDate(2023, 1, 9)));
    // The scale becomes the font size of every window.
    EXPECT_EQ(framework::process::uiFontSize(), 14);
    EXPECT_EQ(d->font().pointSize(), 14);

    // The saved values come back in the window.
    d = open(kGuid);
    EXPECT_EQ(child<QLineEdit>(*d, "MVS:REMARK")->text(), remark);
    EXPECT_EQ(child<QLineEdit>(*d, "MVS:PASSWORD")->text(), QStringLiteral("пароль:1"));
    EXPECT_TRUE(child<QRadioButton>(*d, "TEST1")->isChecked());
    // Saving again leaves the folder as it is.
    press(*d, "YES");
    EXPECT_EQ(QString::fromUtf8(store::ztextOf(repo.records.at(std::string(kGuid)).DUMPPATH)),
              QStringLiteral("/var/xml") + QDir::separator());
}

TEST_F(SetVetisApiDialogTest, BlankFolderStaysBlank)
{
    auto d = open(kGuid);
    type(*d, "MVS:DUMPPATH", QStringLiteral("    "));
    press(*d, "YES");
    EXPECT_EQ(store::ztextOf(repo.records.at(std::string(kGuid)).DUMPPATH), "");
}

TEST_F(SetVetisApiDialogTest, TlsChoiceIsStoredInReserveFieldsWithVisibleWarning)
{
    auto d = open(kGuid);
    auto* noVerify = child<QCheckBox>(*d, "MVS:BYTE_03");
    auto* warning = child<QLabel>(*d, "TLSWARNING");
    EXPECT_EQ(noVerify->text(), QStringLiteral("Не проверять сертификат сервера (небезопасно)"));
    noVerify->setChecked(true);
    EXPECT_FALSE(warning->isHidden());
    EXPECT_EQ(warning->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(warning->text().startsWith(QStringLiteral("Внимание")));
    noVerify->setChecked(false);
    EXPECT_TRUE(warning->isHidden());
    noVerify->setChecked(true);

    fileAnswer = QStringLiteral("/etc/ssl/certs/russian_trusted_root_ca.pem");
    press(*d, "CHOOSECA");
    ASSERT_EQ(fileDialogs.size(), 1u);
    EXPECT_EQ(child<QLineEdit>(*d, "MVS:STR250_01")->text(), fileAnswer);
    press(*d, "YES");

    const store::VetisRecord& r = repo.records.at(std::string(kGuid));
    EXPECT_EQ(+r.BYTE_03, 1);
    EXPECT_EQ(store::ztextOf(r.STR250_01), "/etc/ssl/certs/russian_trusted_root_ca.pem");
    const vetis::TlsSettings tls = vetis::tlsSettingsOf(r);
    EXPECT_FALSE(tls.verify);
    EXPECT_EQ(tls.caBundleFile, fileAnswer);

    // Reopened, the window shows the insecure choice with its warning.
    d = open(kGuid);
    EXPECT_TRUE(child<QCheckBox>(*d, "MVS:BYTE_03")->isChecked());
    EXPECT_FALSE(child<QLabel>(*d, "TLSWARNING")->isHidden());
    child<QCheckBox>(*d, "MVS:BYTE_03")->setChecked(false);
    press(*d, "YES");
    EXPECT_TRUE(vetis::tlsSettingsOf(repo.records.at(std::string(kGuid))).verify);
}

TEST_F(SetVetisApiDialogTest, LinkOpensQuickStartPageAndChangesColourUnderTheMouse)
{
    auto d = open(kGuid);
    auto* link = child<vetis::ui::HoverLinkLabel>(*d, "LINK");
    EXPECT_EQ(link->text(), QStringLiteral("Регистрация в Ветис.API для доступа к сервису АИС «Меркурий»"));
    EXPECT_EQ(link->textColor(), QColor(0, 0, 255));

    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(link, &enter);
    EXPECT_EQ(link->textColor(), QColor(255, 0, 0));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    EXPECT_EQ(link->textColor(), QColor(0, 0, 255));

    EXPECT_TRUE(openedUrls.empty());
    const QPointF inside(2, 2);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, link->mapToGlobal(inside), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(link, &release);
    ASSERT_EQ(openedUrls.size(), 1u);
    EXPECT_EQ(openedUrls[0], vetis::ui::vetisQuickStartUrl());
    EXPECT_EQ(openedUrls[0].scheme(), QStringLiteral("https"));
    EXPECT_EQ(openedUrls[0].host(), QStringLiteral("help.vetrf.ru"));
    EXPECT_TRUE(openedUrls[0].isValid());
}

TEST_F(SetVetisApiDialogTest, FolderDialogStartsInCurrentFolderOrRoot)
{
    testsupport::TempFolder temp;
    auto d = open(kGuid);
    type(*d, "MVS:DUMPPATH", temp.path());
    folderAnswer = QStringLiteral("/srv/обмен");
    press(*d, "CHOOSEDUMP");
    ASSERT_EQ(folderDialogs.size(), 1u);
    EXPECT_EQ(folderDialogs[0].title, QStringLiteral("Укажите папку для записи XML файлов ..."));
    EXPECT_EQ(folderDialogs[0].start, temp.path());
    EXPECT_EQ(child<QLineEdit>(*d, "MVS:DUMPPATH")->text(), QDir::toNativeSeparators(folderAnswer));

    // A folder that does not exist starts at the root; cancelling changes nothing.
    type(*d, "MVS:DUMPPATH", temp.file(QStringLiteral("gone")));
    folderAnswer.clear();
    press(*d, "CHOOSEDUMP");
    ASSERT_EQ(folderDialogs.size(), 2u);
    EXPECT_EQ(folderDialogs[1].start, QDir::toNativeSeparators(QDir::rootPath()));
    EXPECT_EQ(child<QLineEdit>(*d, "MVS:DUMPPATH")->text(), temp.file(QStringLiteral("gone")));
}

TEST_F(SetVetisApiDialogTest, TestButtonTriesTheScaleOnThisWindowOnly)
{
    auto d = open(kGuid);
    auto* scale = child<QComboBox>(*d, "MVS:WINSFONT");
    scale->setCurrentIndex(scale->findText(QStringLiteral("150%")));
    press(*d, "TESTSCALE");
    EXPECT_EQ(d->font().pointSize(), 16);
    EXPECT_EQ(child<QLineEdit>(*d, "MVS:LOGIN")->font().pointSize(), 16);
    scale->setCurrentIndex(scale->findText(QStringLiteral(" 85%")));
    press(*d, "TESTSCALE");
    EXPECT_EQ(d->font().pointSize(), 9);
    EXPECT_EQ(framework::process::uiFontSize(), 11);

    press(*d, "NO");
    EXPECT_EQ(+repo.records.at(std::string(kGuid)).WINSFONT, 0);
    EXPECT_EQ(framework::process::uiFontSize(), 11);
}

TEST_F(SetVetisApiDialogTest, FailedWriteIsReportedLosesNothingAndClosesTheWindow)
{
    repo.records[std::string(kGuid)] = storedRecord(kGuid);
    repo.failPut = store::kFileLocked;
    auto d = open(kGuid);
    d->show();
    auto* scale = child<QComboBox>(*d, "MVS:WINSFONT");
    scale->setCurrentIndex(scale->findText(QStringLiteral("150%")));
    type(*d, "MVS:LOGIN", QStringLiteral("changed"));
    press(*d, "YES");
    EXPECT_FALSE(d->isVisible());
    EXPECT_FALSE(d->written());
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown().front().caption, QStringLiteral("Запись не обновляется"));
    EXPECT_EQ(store::ztextOf(repo.records.at(std::string(kGuid)).LOGIN), "user-api");
    EXPECT_EQ(framework::process::uiFontSize(), 11);

    // Moving the settings onto an entity that has its own keeps both records.
    presenter.clear();
    repo.failPut = 0;
    repo.records[std::string(kOtherGuid)] = storedRecord(kOtherGuid);
    d = open(kGuid);
    type(*d, "MVS:GUID", QString::fromUtf8(kOtherGuid.data(), kOtherGuid.size()));
    type(*d, "MVS:LOGIN", QStringLiteral("moved"));
    press(*d, "YES");
    EXPECT_FALSE(d->written());
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown().front().caption, QStringLiteral("Ошибка дублирования в ключе"));
    EXPECT_EQ(repo.records.size(), 2u);
    EXPECT_EQ(store::ztextOf(repo.records.at(std::string(kGuid)).LOGIN), "user-api");
    EXPECT_EQ(store::ztextOf(repo.records.at(std::string(kOtherGuid)).LOGIN), "user-api");
}

TEST_F(SetVetisApiDialogTest, FailedAddOnOpeningIsReportedAndRetriedOnConfirm)
{
    repo.failAdd = store::kFileLocked;
    auto d = open(kGuid);
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown().front().caption, QStringLiteral("Ошибка добавления записи"));
    EXPECT_TRUE(repo.records.empty());

    repo.failAdd = 0;
    press(*d, "YES");
    EXPECT_TRUE(d->written());
    ASSERT_EQ(repo.records.count(std::string(kGuid)), 1u);
    EXPECT_EQ(+repo.records.at(std::string(kGuid)).PERIOD, 30);
}

TEST_F(SetVetisApiDialogTest, AnUnreadableSettingsFileIsReportedAndNothingIsWritten)
{
    // Damaged, locked, or a record that fails its authentication: the stored
    // record may be there, unread.
    for (const int code : {store::kDamagedFile, store::kFileLocked, store::kBadFileStructure}) {
        SCOPED_TRACE(code);
        FakeVetisSettingsRepository unreadable;
        unreadable.failFind = code;
        framework::RecordingPresenter shown;
        framework::setMessagePresenter(&shown);
        framework::installStorageErrorTexts();
        bool ended = false;
        framework::errorManager().setEndProgramAction([&ended] { ended = true; });

        auto d = std::make_unique<SetVetisApiDialog>(unreadable, kGuid, hooks);
        ASSERT_EQ(shown.count(), 1u);
        EXPECT_EQ(shown.shown().front().caption, QStringLiteral("Ошибка доступа к файлу"));
        EXPECT_TRUE(shown.shown().front().text.contains(QStringLiteral("mv01.dat")))
            << shown.shown().front().text.toStdString();
        EXPECT_TRUE(ended) << "a settings file that cannot be read ends the program after the message";

        // Were the program to go on, confirming would still write nothing.
        type(*d, "MVS:LOGIN", QStringLiteral("typed"));
        press(*d, "YES");
        EXPECT_FALSE(d->written());
        d.reset();
        framework::errorManager().setEndProgramAction({});
        framework::setMessagePresenter(&presenter);
        EXPECT_EQ(unreadable.adds, 0);
        EXPECT_EQ(unreadable.puts, 0);
        EXPECT_EQ(unreadable.removes, 0);
    }

    // A missing record is no failure: it is added with the defaults.
    auto d = open(kGuid);
    EXPECT_EQ(presenter.count(), 0u);
    EXPECT_EQ(repo.records.count(std::string(kGuid)), 1u);
}

} // namespace
