// SPDX-License-Identifier: LicenseRef-Kestrom
// A day's first work against the VetIS test double: a dictionary list read into
// its response list, and the VSD list application submitted, followed until it
// is complete and its answer walked into the VSD list and its contents lists.
// Whatever namespace prefixes the service writes, the lists come out the same.
#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "responses/ReferenceLists.h"
#include "responses/VsdContentsLists.h"
#include "responses/VsdList.h"
#include "responses/WalkerAnswerReader.h"
#include "store/RecordText.h"
#include "support/FakeVetisSettingsRepository.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"
#include "vetis/Exchange.h"
#include "vetis/VetisSettings.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>

using namespace vetis;

namespace {

constexpr const char* kOwnEntity = vetissim::known::kOwnEntityGuid;

class ExchangeWalk : public ::testing::TestWithParam<vetissim::PrefixStyle>
{
protected:
    void SetUp() override
    {
        framework::setMessagePresenter(&presenter);
        ASSERT_TRUE(sim.start()) << sim.errorString();
        sim.setPrefixStyle(GetParam());
        setEndpointBaseOverride(sim.baseUrl());
        store::VetisRecord s = clearedVetisRecord();
        store::setText(s.GUID, kOwnEntity);
        store::setZText(s.LOGIN, sim.config().user);
        store::setZText(s.PASSWORD, sim.config().password);
        store::setZText(s.APIKEY, sim.config().apiKey);
        store::setZText(s.WEBLOGIN, "clerk");
        repo.records[kOwnEntity] = s;
        context.settings = &repo;
        context.reader = &reader;
    }
    void TearDown() override
    {
        clearEndpointOverrides();
        framework::setMessagePresenter(nullptr);
    }

    RequestRecord request(RequestCode code)
    {
        RequestRecord r;
        r.setRequestCode(code);
        store::setText(r.VETISGUID, kOwnEntity);
        r.COUNT = 1000;
        return r;
    }
    // A request of the unit list into `units`.
    RequestRecord unitsRequest(responses::TypedList<responses::UnitRow>& units)
    {
        RequestRecord r = request(RequestCode::UnitByGuidOrList);
        store::setZText(r.ROWTAG, "dt:unit");
        r.lists[0] = &units;
        return r;
    }

    vetissim::VetisSim sim;
    framework::RecordingPresenter presenter;
    FakeVetisSettingsRepository repo;
    responses::WalkerAnswerReader reader;
    ExchangeContext context;
};

} // namespace

TEST_P(ExchangeWalk, UnitDictionaryFillsItsList)
{
    responses::TypedList<responses::UnitRow> units;
    RequestRecord r = unitsRequest(units);
    ASSERT_TRUE(Exchange(r, context));
    EXPECT_GT(r.RLOAD, 0);
    EXPECT_EQ(static_cast<std::size_t>(r.RLOAD), units.count());
    EXPECT_EQ(r.RCOUNT, r.RLOAD);
    EXPECT_EQ(r.ROFFSET, 0);
    bool kilogram = false;
    for (std::size_t i = 0; i < units.count(); ++i)
        kilogram |= store::textOf(units[i].GUID) == vetissim::known::kKilogramGuid;
    EXPECT_TRUE(kilogram) << "the kilogram of the fixture is read by its GUID";
}

TEST_P(ExchangeWalk, ResearchMethodsAreReadFromTheirListElements)
{
    const responses::ListLayout& layout = responses::NamedRefRow::researchMethodLayout();
    responses::TypedList<responses::NamedRefRow> methods(layout);
    RequestRecord r = request(RequestCode::ResearchMethodList);
    store::setZText(r.ROWTAG, layout.rowTag);
    r.lists[0] = &methods;
    ASSERT_TRUE(Exchange(r, context));
    EXPECT_GT(r.RLOAD, 0) << "an answer of research methods must not read as empty";
    EXPECT_EQ(static_cast<std::size_t>(r.RLOAD), methods.count());
}

TEST_P(ExchangeWalk, VsdListApplicationEndsInFilledLists)
{
    RequestRecord submit = request(RequestCode::VetDocumentList);
    store::setZText(submit.P1, kOwnEntity);
    store::setZText(submit.P2, vetissim::known::kOwnEnterpriseGuid);
    store::setZText(submit.P3, "INCOMING");
    ASSERT_TRUE(Exchange(submit, context));
    ASSERT_EQ(store::ztextOf(submit.APPSTATUS), "ACCEPTED");
    const std::string appId(store::clip(std::string_view(submit.APPID, 36)));

    responses::TypedList<responses::VsdRow> vsds;
    std::vector<std::unique_ptr<responses::ResponseList>> contents;
    RequestRecord receive = request(RequestCode::ReceiveApplicationResult);
    store::setZText(receive.P1, appId);
    store::setZText(receive.ROWTAG, "vd:vetDocument");
    receive.lists[0] = &vsds;
    for (int i = 1; i <= 9; ++i) {
        contents.push_back(std::make_unique<responses::ResponseList>(responses::contentsLayout(i)));
        receive.lists[static_cast<std::size_t>(i)] = contents.back().get();
    }

    // IN_PROCESS first: nothing to read yet.
    ASSERT_TRUE(Exchange(receive, context));
    EXPECT_EQ(store::ztextOf(receive.APPSTATUS), "IN_PROCESS");
    EXPECT_EQ(receive.RLOAD, 0);

    ASSERT_TRUE(Exchange(receive, context));
    EXPECT_EQ(store::ztextOf(receive.APPSTATUS), "COMPLETED");
    EXPECT_EQ(store::clip(std::string_view(receive.APPID, 36)), appId);
    ASSERT_GT(receive.RLOAD, 0);
    EXPECT_EQ(static_cast<std::size_t>(receive.RLOAD), vsds.count());
    EXPECT_EQ(receive.RCOUNT, receive.RLOAD);
    EXPECT_GE(receive.RTOTAL, receive.RCOUNT);

    std::set<std::string> uuids;
    for (std::size_t i = 0; i < vsds.count(); ++i) {
        uuids.insert(std::string(store::textOf(vsds[i].UUID)));
        EXPECT_FALSE(store::ztextOf(vsds[i].VETDSTATUS).empty());
    }
    EXPECT_EQ(uuids.size(), vsds.count());
    // Every contents entry belongs to a VSD of the answer, and the fixture has
    // contents of every kind.
    for (int i = 1; i <= 9; ++i) {
        const responses::ResponseList& list = *contents[static_cast<std::size_t>(i - 1)];
        EXPECT_GT(list.count(), 0u) << "contents list " << i;
        for (std::size_t row = 0; row < list.count(); ++row) {
            const std::string_view uuid(reinterpret_cast<const char*>(list.row(row)), 36);
            EXPECT_TRUE(uuids.count(std::string(store::clip(uuid)))) << "contents list " << i;
        }
    }
    EXPECT_TRUE(presenter.shown().empty());
}

TEST_P(ExchangeWalk, MalformedOrTruncatedAnswersAreNoSuccess)
{
    for (vetissim::FaultKind kind : {vetissim::FaultKind::MalformedXml, vetissim::FaultKind::TruncatedXml}) {
        sim.addFault({kind});
        responses::TypedList<responses::UnitRow> units;
        RequestRecord r = unitsRequest(units);
        EXPECT_FALSE(Exchange(r, context));
        EXPECT_EQ(r.RLOAD, 0);
        EXPECT_EQ(r.FLAGLUCK, 0);
        EXPECT_EQ(units.count(), 0u);
    }
    // An application answer (no list) that is cut, damaged, not XML at all,
    // or never comes, is no success either.
    for (vetissim::FaultKind kind : {vetissim::FaultKind::MalformedXml, vetissim::FaultKind::TruncatedXml,
                                     vetissim::FaultKind::WrongContentType, vetissim::FaultKind::Drop,
                                     vetissim::FaultKind::PartialBody}) {
        sim.addFault({kind});
        RequestRecord r = request(RequestCode::VetDocumentList);
        EXPECT_FALSE(Exchange(r, context)) << static_cast<int>(kind);
        EXPECT_EQ(r.FLAGLUCK, 0);
    }
    RequestRecord sound = request(RequestCode::VetDocumentList);
    EXPECT_TRUE(Exchange(sound, context));
    EXPECT_EQ(sound.FLAGLUCK, 1);
}

TEST_P(ExchangeWalk, ASoapFaultIsAFailureTheUserIsToldOf)
{
    // Status 500 with a Fault of the service (code APLM0010 in its detail).
    const QString expected =
        QStringLiteral("Сервис Ветис.API сообщил об ошибке: APLM0010 Internal service error");
    for (const int mode : {1, 0}) {
        SCOPED_TRACE(mode);
        repo.records[kOwnEntity].ANSWER = static_cast<std::uint8_t>(mode);
        presenter.clear();
        sim.addFault({vetissim::FaultKind::SoapFault});
        responses::TypedList<responses::UnitRow> units;
        RequestRecord r = unitsRequest(units);
        EXPECT_FALSE(Exchange(r, context));
        EXPECT_EQ(r.FLAGLUCK, 0);
        EXPECT_EQ(r.RLOAD, 0);
        EXPECT_EQ(units.count(), 0u);
        // A caller in silent mode finds the text in the record.
        const QString recorded =
            platform::fromCp1251(store::clip(std::string_view(r.APPERROR, sizeof r.APPERROR)));
        EXPECT_TRUE(recorded.startsWith(expected)) << recorded.toStdString();
        bool told = false;
        for (const auto& shown : presenter.shown())
            told |= shown.caption == QStringLiteral("У нас проблема ...") && shown.text.startsWith(expected);
        EXPECT_EQ(told, mode != 0);
    }
    // An application answered with a Fault fails the same way.
    repo.records[kOwnEntity].ANSWER = 1;
    sim.addFault({vetissim::FaultKind::SoapFault});
    RequestRecord submit = request(RequestCode::VetDocumentList);
    EXPECT_FALSE(Exchange(submit, context));
    EXPECT_TRUE(platform::fromCp1251(store::clip(std::string_view(submit.APPERROR, sizeof submit.APPERROR)))
                    .startsWith(expected));
}

TEST_P(ExchangeWalk, AMalformedAnswerIsAFailureThatSaysWhy)
{
    repo.records[kOwnEntity].ANSWER = 1;
    sim.addFault({vetissim::FaultKind::MalformedXml});
    responses::TypedList<responses::UnitRow> units;
    RequestRecord r = unitsRequest(units);
    EXPECT_FALSE(Exchange(r, context));
    EXPECT_EQ(r.RCODE, 200);
    EXPECT_EQ(units.count(), 0u);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].caption, QStringLiteral("У нас проблема ..."));
    EXPECT_TRUE(presenter.shown()[0].text.startsWith(
        QStringLiteral("Ответ сервиса не является правильным XML-документом: конечный тег")))
        << presenter.shown()[0].text.toStdString();
}

TEST_P(ExchangeWalk, AnAnswerAboveTheSizeLimitIsStoppedWhileItComes)
{
    // An answer of 8 MiB against a limit of 1 MiB: the transfer stops and
    // says why, in place of a generic write error.
    repo.records[kOwnEntity].ANSWER = 1;
    context.limits.maxAnswerBytes = std::size_t{1} << 20;
    vetissim::FaultRule huge;
    huge.kind = vetissim::FaultKind::Huge;
    huge.hugeBytes = std::size_t{8} << 20;
    sim.addFault(huge);
    responses::TypedList<responses::UnitRow> units;
    RequestRecord r = unitsRequest(units);
    EXPECT_FALSE(Exchange(r, context));
    EXPECT_EQ(r.FLAGLUCK, 0);
    EXPECT_EQ(units.count(), 0u);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text,
              QStringLiteral("Ответ сервиса больше допустимого размера (1 МБ), приём прерван."));

    // The same answer within the limit is taken (and read: it is a sound one).
    context.limits.maxAnswerBytes = std::size_t{16} << 20;
    sim.addFault(huge);
    r = unitsRequest(units);
    EXPECT_EQ(r.RCODE, 0);
    EXPECT_TRUE(Exchange(r, context));
    EXPECT_EQ(r.RCODE, 200);
    EXPECT_EQ(presenter.shown().size(), 1u) << presenter.shown().back().text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(PrefixStyles, ExchangeWalk,
                         ::testing::Values(vetissim::PrefixStyle::Usual, vetissim::PrefixStyle::Default,
                                           vetissim::PrefixStyle::Generated));
