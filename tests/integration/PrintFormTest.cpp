// SPDX-License-Identifier: LicenseRef-Kestrom
// The print form of a VSD fetched from the VetIS test double as from Mercury's
// operator interface: the address, the file each print makes, and what the
// user is told when there is nothing to print or the service sends no PDF.
#include "workspace/PrintForm.h"
#include "framework/ProcessSettings.h"
#include "framework/RecordingPresenter.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "support/SimSettings.h"
#include "support/TestSupport.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"
#include "vetis/RequestRecord.h"
#include "vetis/StoredVetisSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kPrintingEntity = vetissim::known::kOwnEntityGuid;
constexpr const char* kPrintQuery = "?_language=ru&_action=printVetDocumentByUuid&uuid=";
constexpr const char* kPrintLogin = "clerk-Login-7";
constexpr const char* kPrintPassword = "Pa55-Secret-word";
constexpr const char* kPrintWrongPassword = "Wrong-Pa55-word";

vetissim::SimConfig printSimConfig()
{
    vetissim::SimConfig config;
    config.user = kPrintLogin;
    config.password = kPrintPassword;
    return config;
}

class PrintForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(data.path() + QStringLiteral("Base")));
        framework::setMessagePresenter(&presenter);
        framework::process::setTemporaryExportFolder(exports.path());
        ASSERT_TRUE(sim.start()) << sim.errorString();
        vetis::setEndpointBaseOverride(sim.baseUrl());
        uuid = sim.vsdUuids().front();
    }
    void TearDown() override
    {
        vetis::clearEndpointOverrides();
        framework::process::setTemporaryExportFolder({});
        framework::setMessagePresenter(nullptr);
    }

    // Stores the settings the double accepts, changed as `change` says.
    void storeSettings(void (*change)(store::VetisRecord&) = nullptr)
    {
        store::VetisRecord s = simSettings(sim, kPrintingEntity);
        s.ANSWER = 1;
        if (change)
            change(s);
        vetis::StoredVetisSettings repository(session);
        const bool stored = repository.find(kPrintingEntity).has_value();
        ASSERT_EQ(stored ? repository.put(s) : repository.add(s), store::kOk);
    }

    QString print(const std::string& vsd)
    {
        return workspace::downloadPrintForm(session, kPrintingEntity, vsd);
    }

    QStringList exportedFiles() const
    {
        return QDir(exports.path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    }
    static QByteArray contentOf(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Every text and caption the user was shown.
    QString everythingShown() const
    {
        QString all;
        for (const framework::MessageRequest& m : presenter.shown())
            all += m.caption + u'\n' + m.text + u'\n';
        return all;
    }

    testsupport::TempFolder data;
    testsupport::TempFolder exports;
    store::Session session{data.path()};
    vetissim::VetisSim sim{printSimConfig()};
    framework::RecordingPresenter presenter;
    std::string uuid;
};

} // namespace

TEST_F(PrintForm, AddressFollowsTheContourAndTheEndpointOverride)
{
    vetis::clearEndpointOverrides();
    const std::string padded = uuid + "      ";
    EXPECT_EQ(workspace::printFormUrl(1, padded),
              "https://t2-mercury.vetrf.ru/pub/operatorui" + std::string(kPrintQuery) + uuid);
    EXPECT_EQ(workspace::printFormUrl(0, padded),
              "https://mercury.vetrf.ru/pub/operatorui" + std::string(kPrintQuery) + uuid);
    // A damaged number cannot add parameters of its own to the query.
    EXPECT_EQ(workspace::printFormUrl(0, "a&_action=x"),
              "https://mercury.vetrf.ru/pub/operatorui" + std::string(kPrintQuery) + "a%26_action%3Dx");

    vetis::setEndpointBaseOverride(sim.baseUrl() + "/");
    EXPECT_EQ(workspace::printFormUrl(1, uuid), sim.baseUrl() + "/pub/operatorui" + kPrintQuery + uuid);
}

TEST_F(PrintForm, EachPrintMakesItsOwnPdfFile)
{
    storeSettings();
    const QString first = print(uuid + "   ");
    const QString second = print(uuid);

    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(first, second);
    EXPECT_EQ(exportedFiles().size(), 2);
    for (const QString& file : {first, second}) {
        const QFileInfo info(file);
        EXPECT_EQ(info.absolutePath() + u'/', exports.path());
        EXPECT_EQ(info.fileName().size(), 36 + 4) << file.toStdString();
        EXPECT_TRUE(info.fileName().endsWith(QStringLiteral(".pdf")));
        const QByteArray pdf = contentOf(file);
        EXPECT_TRUE(pdf.startsWith("%PDF-"));
        EXPECT_TRUE(pdf.contains(QByteArray::fromStdString(uuid)));
        EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    }
    EXPECT_EQ(presenter.count(), 0u);

    // The request went out with the entity's credentials, the UUID without its blanks.
    const std::vector<vetissim::ReceivedRequest> received = sim.received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].method, "GET");
    EXPECT_EQ(received[0].path, "/pub/operatorui");
    EXPECT_EQ(received[0].status, 200);
    EXPECT_EQ(received[0].authorization.rfind("Basic ", 0), 0u);
}

TEST_F(PrintForm, NothingGoesOutWithoutSettingsOrVsdNumber)
{
    EXPECT_TRUE(print(uuid).isEmpty());
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown()[0].caption, QStringLiteral("У нас проблема !"));
    EXPECT_EQ(presenter.shown()[0].text,
              QStringLiteral("Нет данных для доступа к системе Меркурий через интерфейс Ветис.API !"));
    EXPECT_EQ(presenter.shown()[0].customButtons, QStringList{QStringLiteral("&1. Закрыть")});

    presenter.clear();
    storeSettings();
    EXPECT_TRUE(print("   ").isEmpty());
    EXPECT_TRUE(print(uuid.substr(0, 35)).isEmpty());
    ASSERT_EQ(presenter.count(), 2u);
    EXPECT_EQ(
        presenter.shown()[1].text,
        QStringLiteral("Нет данных о номере ВСД для запроса печатной формы через интерфейс Ветис.API !"));

    EXPECT_TRUE(sim.received().empty());
    EXPECT_TRUE(exportedFiles().isEmpty());
}

TEST_F(PrintForm, FailedPrintsLeaveNoFileAndNeverShowTheCredentials)
{
    // The service answers a wrong password with its login page and status 200.
    storeSettings([](store::VetisRecord& s) {
        store::setZText(s.PASSWORD, kPrintWrongPassword);
        s.ANSWER = 2;
    });
    EXPECT_TRUE(print(uuid).isEmpty());
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown()[0].caption, QStringLiteral("У нас проблема !"));
    EXPECT_EQ(presenter.shown()[0].text, workspace::notPdfText());
    ASSERT_EQ(sim.received().size(), 1u);
    EXPECT_EQ(sim.received()[0].status, 200);
    EXPECT_TRUE(exportedFiles().isEmpty());

    // A VSD the service does not know: the download says why.
    storeSettings([](store::VetisRecord& s) { s.ANSWER = 2; });
    EXPECT_TRUE(print("00000000-0000-4000-8000-000000000000").isEmpty());
    ASSERT_EQ(presenter.count(), 2u);
    EXPECT_TRUE(
        presenter.shown()[1].text.startsWith(QStringLiteral("Ошибка загрузки файла по протоколу HTTP:|")));
    EXPECT_EQ(sim.received().back().status, 404);
    EXPECT_TRUE(exportedFiles().isEmpty());

    // A print the user cancels is no failure to tell about, and leaves no file.
    struct CancelledAtOnce final : vetis::TransferControl
    {
        void setProgress(int) override {}
        bool cancelRequested() const override { return true; }
    } cancelled;
    EXPECT_TRUE(workspace::downloadPrintForm(session, kPrintingEntity, uuid, &cancelled).isEmpty());
    EXPECT_EQ(presenter.count(), 2u);
    EXPECT_TRUE(exportedFiles().isEmpty());

    // No service at all.
    const std::string closed = sim.baseUrl();
    sim.stop();
    vetis::setEndpointBaseOverride(closed);
    EXPECT_TRUE(print(uuid).isEmpty());
    EXPECT_EQ(presenter.count(), 3u);
    EXPECT_TRUE(exportedFiles().isEmpty());

    const QString shown = everythingShown();
    EXPECT_FALSE(shown.contains(QString::fromLatin1(kPrintPassword))) << shown.toStdString();
    EXPECT_FALSE(shown.contains(QString::fromLatin1(kPrintWrongPassword))) << shown.toStdString();
    EXPECT_FALSE(shown.contains(QString::fromLatin1(kPrintLogin))) << shown.toStdString();
}
