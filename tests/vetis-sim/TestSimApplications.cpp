// SPDX-License-Identifier: LicenseRef-Kestrom
// Applications: their life from ACCEPTED to COMPLETED, the VSD list result,
// repay with its effect on later lists, and the rejections.
#include "SimTestClient.h"

#include <vetis-sim/FixtureStore.h>
#include <vetis-sim/VetisSim.h>

#include <gtest/gtest.h>

#include <set>

using namespace simtest;
using vetissim::VetisSim;
namespace known = vetissim::known;

namespace {

struct AppAnswer
{
    long httpStatus = 0;
    std::string text;
    Element root;
    std::string id;
    std::string status;
};

class ApplicationFlow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        config.fixtures.vsdCount = 30;
        config.fixtures.bigLocalityStreets = 10;
        config.fixtures.schema20Only = true;
    }

    void startSim()
    {
        sim = std::make_unique<VetisSim>(config);
        ASSERT_TRUE(sim->start()) << sim->errorString();
    }

    AppAnswer call(const std::string& envelope)
    {
        AppAnswer a;
        const HttpResult r = post(sim->endpoint("ApplicationManagementService"), envelope);
        a.httpStatus = r.status;
        a.text = r.body;
        if (parse(r.body, a.root)) {
            a.id = a.root.textOf(ns::apl, "applicationId");
            a.status = a.root.textOf(ns::apl, "status");
        }
        return a;
    }

    AppAnswer submit(const std::string& inner)
    {
        return call(submitEnvelope(config.apiKey, config.issuerId, inner));
    }

    AppAnswer receive(const std::string& id)
    {
        return call(receiveEnvelope(config.apiKey, config.issuerId, id));
    }

    // Submits and receives until the application is finished.
    AppAnswer complete(const std::string& inner)
    {
        AppAnswer a = submit(inner);
        const std::string id = a.id;
        for (int i = 0; i < 5 && a.status != "COMPLETED" && a.status != "REJECTED"; ++i)
            a = receive(id);
        return a;
    }

    std::vector<const Element*> vetDocuments(const AppAnswer& a) { return a.root.all(ns::vd, "vetDocument"); }

    vetissim::SimConfig config;
    std::unique_ptr<VetisSim> sim;
};

} // namespace

TEST_F(ApplicationFlow, MovesFromAcceptedThroughInProcessToCompleted)
{
    startSim();
    const AppAnswer submitted = submit(vetDocumentListRequest(known::kOwnEnterpriseGuid, 1000, 0));
    ASSERT_EQ(submitted.httpStatus, 200) << submitted.text;
    EXPECT_EQ(submitted.status, "ACCEPTED");
    EXPECT_EQ(submitted.id.size(), 36u);
    EXPECT_NE(submitted.root.first(ns::apldef, "submitApplicationResponse"), nullptr);
    EXPECT_TRUE(vetDocuments(submitted).empty());

    const AppAnswer first = receive(submitted.id);
    EXPECT_EQ(first.status, "IN_PROCESS");
    EXPECT_EQ(first.id, submitted.id);
    EXPECT_TRUE(vetDocuments(first).empty());

    const AppAnswer second = receive(submitted.id);
    ASSERT_EQ(second.status, "COMPLETED");
    EXPECT_NE(second.root.first(ns::apldef, "receiveApplicationResultResponse"), nullptr);
    const Element* list = second.root.first(ns::vd, "vetDocumentList");
    ASSERT_NE(list, nullptr);
    const auto documents = vetDocuments(second);
    EXPECT_EQ(list->attr("count"), std::to_string(documents.size()));
    EXPECT_EQ(list->attr("total"), std::to_string(documents.size()));
    EXPECT_EQ(list->attr("offset"), "0");
    ASSERT_GT(documents.size(), 20u);
    for (const Element* vsd : documents)
        EXPECT_EQ(vsd->first(ns::vd, "consignee")->first(ns::dt, "enterprise")->textOf(ns::bs, "guid"),
                  known::kOwnEnterpriseGuid);

    // A finished application stays finished.
    EXPECT_EQ(receive(submitted.id).status, "COMPLETED");
    const auto apps = sim->applications();
    ASSERT_EQ(apps.size(), 1u);
    EXPECT_EQ(apps[0].innerOperation, "getVetDocumentListRequest");
    EXPECT_EQ(apps[0].receives, 3);
    EXPECT_EQ(sim->received().front().innerOperation, "getVetDocumentListRequest");
}

TEST_F(ApplicationFlow, TheVsdListValidatesAndFillsTheContentsTheClientReads)
{
    startSim();
    const AppAnswer done = complete(vetDocumentListRequest(known::kOwnEnterpriseGuid, 1000, 0));
    ASSERT_EQ(done.status, "COMPLETED");
    EXPECT_EQ(validateFragment(done.text, ns::vd, "vetDocumentList",
                               schemaFolder() + "2.0-RC-last/document_v2.0.xsd"),
              "");
    // Every kind of content appears somewhere in the list.
    const Element& r = done.root;
    for (const char* name :
         {"referencedDocument", "batchID", "producer", "r13nClause", "laboratoryResearch", "statusChange",
          "routePoint", "immunization", "transportInfo", "dateOfProduction", "expiryDate", "authentication",
          "shipmentRoute", "nextTransport"})
        EXPECT_FALSE(r.all(ns::vd, name).empty()) << name;
    bool classAttribute = false;
    for (const Element* mark : r.all(ns::dt, "productMarks"))
        classAttribute = classAttribute || !mark->attr("class").empty();
    EXPECT_TRUE(classAttribute);
    bool transshipment = false;
    for (const Element* point : r.all(ns::vd, "routePoint"))
        transshipment = transshipment || point->textOf(ns::vd, "transshipment") == "true";
    EXPECT_TRUE(transshipment);
    std::set<std::string> statuses;
    for (const Element* vsd : vetDocuments(done))
        statuses.insert(vsd->child(ns::vd, "vetDStatus")->text);
    EXPECT_TRUE(statuses.count("CONFIRMED") && statuses.count("UTILIZED") && statuses.count("WITHDRAWN"));
    // Cyrillic texts arrive as UTF-8.
    EXPECT_NE(done.text.find("Местность благополучна"), std::string::npos);
}

TEST_F(ApplicationFlow, TheVsdListIsFilteredAndPaged)
{
    startSim();
    const AppAnswer all = complete(vetDocumentListRequest(known::kOwnEnterpriseGuid, 1000, 0));
    const auto everything = vetDocuments(all);
    const AppAnswer page = complete(vetDocumentListRequest(known::kOwnEnterpriseGuid, 10, 10));
    const Element* list = page.root.first(ns::vd, "vetDocumentList");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->attr("count"), "10");
    EXPECT_EQ(list->attr("offset"), "10");
    EXPECT_EQ(list->attr("total"), std::to_string(everything.size()));
    const auto pageDocs = vetDocuments(page);
    ASSERT_EQ(pageDocs.size(), 10u);
    EXPECT_EQ(pageDocs[0]->textOf(ns::bs, "uuid"), everything[10]->textOf(ns::bs, "uuid"));

    const AppAnswer withdrawn =
        complete(vetDocumentListRequest(known::kOwnEnterpriseGuid, 1000, 0, "WITHDRAWN"));
    ASSERT_FALSE(vetDocuments(withdrawn).empty());
    for (const Element* vsd : vetDocuments(withdrawn))
        EXPECT_EQ(vsd->child(ns::vd, "vetDStatus")->text, "WITHDRAWN");

    const std::string day = everything.front()->child(ns::vd, "issueDate")->text;
    const AppAnswer oneDay =
        complete(vetDocumentListRequest(known::kOwnEnterpriseGuid, 1000, 0, {}, day, day));
    ASSERT_FALSE(vetDocuments(oneDay).empty());
    EXPECT_LT(vetDocuments(oneDay).size(), everything.size());
    for (const Element* vsd : vetDocuments(oneDay))
        EXPECT_EQ(vsd->child(ns::vd, "issueDate")->text, day);
}

TEST_F(ApplicationFlow, RepayMakesTheVsdUtilizedInLaterLists)
{
    startSim();
    const AppAnswer confirmed =
        complete(vetDocumentListRequest(known::kOwnEnterpriseGuid, 1000, 0, "CONFIRMED"));
    ASSERT_FALSE(vetDocuments(confirmed).empty());
    const Element* vsd = vetDocuments(confirmed).front();
    const std::string uuid = vsd->textOf(ns::bs, "uuid");
    const std::string volume = vsd->first(ns::vd, "batch")->textOf(ns::vd, "volume");

    const AppAnswer repaid = complete(repayRequest(uuid, known::kOwnEnterpriseGuid, volume));
    ASSERT_EQ(repaid.status, "COMPLETED") << repaid.text;
    const Element* response = repaid.root.first(ns::merc, "processIncomingConsignmentResponse");
    ASSERT_NE(response, nullptr);
    const Element* result = response->child(ns::merc, "vetDocument");
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->textOf(ns::bs, "uuid"), uuid);
    EXPECT_EQ(result->child(ns::vd, "vetDStatus")->text, "UTILIZED");
    EXPECT_NE(response->child(ns::merc, "stockEntry"), nullptr);
    EXPECT_EQ(validateFragment(repaid.text, ns::merc, "processIncomingConsignmentResponse",
                               schemaFolder() + "2.0-RC-last/mercury_g2b_applications_v2.0.xsd"),
              "");
    EXPECT_EQ(sim->vsdStatus(uuid), "UTILIZED");

    const AppAnswer utilized =
        complete(vetDocumentListRequest(known::kOwnEnterpriseGuid, 1000, 0, "UTILIZED"));
    bool listed = false;
    for (const Element* d : vetDocuments(utilized))
        listed = listed || d->textOf(ns::bs, "uuid") == uuid;
    EXPECT_TRUE(listed);
    // A second repay of the same VSD is refused.
    const AppAnswer again = complete(repayRequest(uuid, known::kOwnEnterpriseGuid, volume));
    EXPECT_EQ(again.status, "REJECTED");
}

// Doubles of the same fixture options share their built-in world; what one's
// applications change, the others (running beside it or started later) never see.
TEST_F(ApplicationFlow, WhatADoubleChangesStaysItsOwn)
{
    startSim();
    VetisSim beside(config);
    ASSERT_TRUE(beside.start()) << beside.errorString();
    auto enterprises = [](VetisSim& s) {
        std::size_t count = 0;
        s.withFixtures(
            [&](vetissim::FixtureStore& store) { count = store.size(vetissim::RefKind::Enterprise); });
        return count;
    };
    const std::size_t enterprisesBefore = enterprises(*sim);
    ASSERT_EQ(enterprises(beside), enterprisesBefore);

    const AppAnswer confirmed =
        complete(vetDocumentListRequest(known::kOwnEnterpriseGuid, 1, 0, "CONFIRMED"));
    ASSERT_EQ(vetDocuments(confirmed).size(), 1u);
    const Element* vsd = vetDocuments(confirmed).front();
    const std::string uuid = vsd->textOf(ns::bs, "uuid");
    const std::string volume = vsd->first(ns::vd, "batch")->textOf(ns::vd, "volume");
    ASSERT_EQ(complete(repayRequest(uuid, known::kOwnEnterpriseGuid, volume)).status, "COMPLETED");
    const std::string create =
        "<merc:modifyEnterpriseRequest><merc:localTransactionId>t1</merc:localTransactionId>"
        "<merc:modificationOperation><vd:type>CREATE</vd:type><vd:resultingList><dt:enterprise>"
        "<dt:name>Склад</dt:name></dt:enterprise></vd:resultingList></merc:modificationOperation>"
        "</merc:modifyEnterpriseRequest>";
    ASSERT_EQ(complete(create).status, "COMPLETED");
    EXPECT_EQ(sim->vsdStatus(uuid), "UTILIZED");
    EXPECT_EQ(enterprises(*sim), enterprisesBefore + 1);

    VetisSim later(config);
    for (VetisSim* other : {&beside, &later}) {
        EXPECT_EQ(other->vsdStatus(uuid), "CONFIRMED");
        EXPECT_EQ(enterprises(*other), enterprisesBefore);
        EXPECT_TRUE(other->applications().empty());
    }
    // A double started afresh repays the same VSD: there it is still CONFIRMED.
    startSim();
    EXPECT_EQ(complete(repayRequest(uuid, known::kOwnEnterpriseGuid, volume)).status, "COMPLETED");
}

TEST_F(ApplicationFlow, RejectionsCarryCodedErrors)
{
    startSim();
    const std::vector<std::string> uuids = sim->vsdUuids();
    ASSERT_GE(uuids.size(), 3u);
    sim->rejectVsd(uuids[0], "MERC99001", "ВСД заблокирован для гашения");
    const AppAnswer blocked = complete(repayRequest(uuids[0], known::kOwnEnterpriseGuid, "1"));
    ASSERT_EQ(blocked.status, "REJECTED");
    const Element* error = blocked.root.first(ns::apl, "error");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->attr("code"), "MERC99001");
    EXPECT_EQ(error->text, "ВСД заблокирован для гашения");
    EXPECT_NE(blocked.root.first(ns::apl, "errors"), nullptr);
    EXPECT_EQ(sim->vsdStatus(uuids[0]), "CONFIRMED");

    const AppAnswer tooMuch = complete(repayRequest(uuids[1], known::kOwnEnterpriseGuid, "999999"));
    ASSERT_EQ(tooMuch.status, "REJECTED");
    EXPECT_FALSE(tooMuch.root.first(ns::apl, "error")->attr("code").empty());
    EXPECT_EQ(sim->vsdStatus(uuids[1]), "CONFIRMED");

    const AppAnswer unknown = receive("00000000-0000-4000-8000-000000000000");
    EXPECT_EQ(unknown.httpStatus, 200);
    EXPECT_EQ(unknown.status, "REJECTED");
    EXPECT_NE(unknown.root.first(ns::apl, "error"), nullptr);
}

TEST_F(ApplicationFlow, WrongKeyOrIssuerIsRefusedWithAFault)
{
    startSim();
    const std::string inner = vetDocumentListRequest(known::kOwnEnterpriseGuid, 10, 0);
    for (const std::string& envelope :
         {submitEnvelope("wrong-key", config.issuerId, inner),
          submitEnvelope(config.apiKey, "00000000-0000-4000-8000-000000000000", inner),
          receiveEnvelope("wrong-key", config.issuerId, "x")}) {
        const AppAnswer a = call(envelope);
        EXPECT_EQ(a.httpStatus, 500);
        ASSERT_NE(a.root.first(ns::soap, "Fault"), nullptr);
        EXPECT_NE(a.root.first("http://api.vetrf.ru/schema/cdm/base/ws-definitions", "accessDeniedFault"),
                  nullptr);
    }
    EXPECT_TRUE(sim->applications().empty());
}

TEST_F(ApplicationFlow, CompletionCanBeImmediateOrLater)
{
    config.completeAfterReceives = 0;
    startSim();
    const AppAnswer direct = submit(vetDocumentListRequest(known::kOwnEnterpriseGuid, 5, 0));
    EXPECT_EQ(direct.status, "COMPLETED");
    EXPECT_EQ(vetDocuments(direct).size(), 5u);

    sim->setCompletion(2, 3);
    const AppAnswer later = submit(vetDocumentListRequest(known::kOwnEnterpriseGuid, 5, 0));
    EXPECT_EQ(later.status, "ACCEPTED");
    EXPECT_EQ(receive(later.id).status, "ACCEPTED");
    EXPECT_EQ(receive(later.id).status, "IN_PROCESS");
    EXPECT_EQ(receive(later.id).status, "COMPLETED");
}

TEST_F(ApplicationFlow, WhatApplicationsLeaveBehindIsBounded)
{
    config.completeAfterReceives = 0;
    config.limits.maxApplications = 2;
    config.limits.maxCreatedEnterprises = 1;
    startSim();
    std::vector<std::string> ids;
    for (int i = 0; i < 3; ++i) {
        const AppAnswer a = submit(vetDocumentListRequest(known::kOwnEnterpriseGuid, 1, i));
        ASSERT_EQ(a.status, "COMPLETED");
        ids.push_back(a.id);
    }
    // The oldest application is forgotten: asked for, it is not found.
    ASSERT_EQ(sim->applications().size(), 2u);
    EXPECT_EQ(sim->applications().front().id, ids[1]);
    const AppAnswer forgotten = receive(ids[0]);
    EXPECT_EQ(forgotten.status, "REJECTED");
    EXPECT_EQ(forgotten.root.first(ns::apl, "error")->attr("code"), "APLM0007");
    EXPECT_EQ(receive(ids[2]).status, "COMPLETED");

    // Applications add enterprises to the data only up to the limit.
    const std::string create =
        "<merc:modifyEnterpriseRequest><merc:localTransactionId>t1</merc:localTransactionId>"
        "<merc:modificationOperation><vd:type>CREATE</vd:type><vd:resultingList><dt:enterprise>"
        "<dt:name>Склад</dt:name></dt:enterprise></vd:resultingList></merc:modificationOperation>"
        "</merc:modifyEnterpriseRequest>";
    std::size_t before = 0;
    sim->withFixtures(
        [&](vetissim::FixtureStore& store) { before = store.size(vetissim::RefKind::Enterprise); });
    EXPECT_EQ(submit(create).status, "COMPLETED");
    const AppAnswer refused = submit(create);
    EXPECT_EQ(refused.status, "REJECTED");
    EXPECT_EQ(refused.root.first(ns::apl, "error")->attr("code"), "MERC14003");
    std::size_t after = 0;
    sim->withFixtures(
        [&](vetissim::FixtureStore& store) { after = store.size(vetissim::RefKind::Enterprise); });
    EXPECT_EQ(after, before + 1);
}
