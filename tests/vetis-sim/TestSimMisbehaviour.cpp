// SPDX-License-Identifier: LicenseRef-Kestrom
// Misbehaviour on demand, over HTTP and HTTPS, and the generated certificate.
#include "SimTestClient.h"

#include <vetis-sim/VetisSim.h>

#include <gtest/gtest.h>

using namespace simtest;
using vetissim::FaultKind;
using vetissim::FaultRule;
using vetissim::VetisSim;

namespace {

FaultRule rule(FaultKind kind, std::string operation = {}, int times = 1)
{
    FaultRule r;
    r.kind = kind;
    r.operation = std::move(operation);
    r.times = times;
    return r;
}

bool wellFormed(const std::string& text)
{
    Element root;
    return parse(text, root);
}

} // namespace

TEST(VetisSimMisbehaviour, AnswersFaultsAndWrongBodiesOnDemand)
{
    VetisSim sim(quickConfig());
    ASSERT_TRUE(sim.start());
    const std::string url = sim.endpoint("DictionaryService");
    const HttpResult normal = post(url, unitsEnvelope());
    ASSERT_EQ(normal.status, 200);

    sim.addFault(rule(FaultKind::SoapFault));
    HttpResult r = post(url, unitsEnvelope());
    EXPECT_EQ(r.status, 500);
    Element root;
    ASSERT_TRUE(parse(r.body, root));
    const Element* fault = root.first(ns::soap, "Fault");
    ASSERT_NE(fault, nullptr);
    EXPECT_EQ(fault->child("", "faultcode")->text, "soapenv:Server");
    EXPECT_FALSE(fault->child("", "faultstring")->text.empty());

    sim.addFault(rule(FaultKind::Unauthorized));
    EXPECT_EQ(post(url, unitsEnvelope()).status, 401);

    sim.addFault(rule(FaultKind::MalformedXml));
    r = post(url, unitsEnvelope());
    EXPECT_EQ(r.status, 200);
    EXPECT_FALSE(wellFormed(r.body));

    sim.addFault(rule(FaultKind::TruncatedXml));
    r = post(url, unitsEnvelope());
    EXPECT_EQ(r.code, CURLE_OK);
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, normal.body.substr(0, normal.body.size() / 2));
    EXPECT_FALSE(wellFormed(r.body));

    sim.addFault(rule(FaultKind::PartialBody));
    r = post(url, unitsEnvelope());
    EXPECT_EQ(r.code, CURLE_PARTIAL_FILE);

    sim.addFault(rule(FaultKind::WrongContentType));
    r = post(url, unitsEnvelope());
    EXPECT_EQ(r.status, 200);
    EXPECT_NE(r.contentType.find("text/html"), std::string::npos);

    // Every rule was used once: the service is back to normal.
    r = post(url, unitsEnvelope());
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, normal.body);
}

TEST(VetisSimMisbehaviour, SlowsStallsAndDropsConnections)
{
    VetisSim sim(quickConfig());
    ASSERT_TRUE(sim.start());
    const std::string url = sim.endpoint("DictionaryService");

    FaultRule delay = rule(FaultKind::Delay);
    delay.delayMs = 400;
    sim.addFault(delay);
    HttpResult r = post(url, unitsEnvelope());
    EXPECT_EQ(r.status, 200);
    EXPECT_TRUE(wellFormed(r.body));
    EXPECT_GE(r.seconds, 0.35);

    FaultRule stall = rule(FaultKind::Stall);
    stall.stallMs = 20000;
    sim.addFault(stall);
    HttpOptions impatient;
    impatient.timeoutMs = 700;
    r = post(url, unitsEnvelope(), impatient);
    EXPECT_EQ(r.code, CURLE_OPERATION_TIMEDOUT);
    EXPECT_TRUE(r.headersSeen);
    EXPECT_EQ(r.status, 200);

    sim.addFault(rule(FaultKind::Drop));
    r = post(url, unitsEnvelope());
    EXPECT_EQ(r.code, CURLE_GOT_NOTHING);
    EXPECT_FALSE(r.headersSeen);
    const auto log = sim.received();
    EXPECT_EQ(log.back().status, 0);
    EXPECT_EQ(log.back().operation, "getUnitListRequest");

    EXPECT_EQ(post(url, unitsEnvelope()).status, 200);
    // Stopping does not wait for a stalled answer to run out.
    sim.addFault(stall);
    std::thread client([&] { post(url, unitsEnvelope()); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto before = std::chrono::steady_clock::now();
    sim.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10));
    client.join();
}

TEST(VetisSimMisbehaviour, StreamsAHugeWellFormedAnswer)
{
    VetisSim sim(quickConfig());
    ASSERT_TRUE(sim.start());
    sim.addFault(rule(FaultKind::Huge));
    const HttpResult r = post(sim.endpoint("IkarService"),
                              registryEnvelope("getStreetListByLocalityRequest", listOptions(10, 0)));
    ASSERT_EQ(r.code, CURLE_OK);
    EXPECT_EQ(r.status, 200);
    EXPECT_GE(r.body.size(), 50u * 1024u * 1024u);
    Element root;
    ASSERT_TRUE(parse(r.body, root));
    EXPECT_GT(root.all(ns::dt, "street").size(), 100000u);
}

TEST(VetisSimMisbehaviour, RulesAimAtOperationsAndCountDown)
{
    VetisSim sim(quickConfig());
    ASSERT_TRUE(sim.start());
    const std::string dictionary = sim.endpoint("DictionaryService");
    const std::string purposes = registryEnvelope("getPurposeListRequest", listOptions(10, 0));
    sim.addFault(rule(FaultKind::SoapFault, "getPurposeListRequest", 2));
    EXPECT_EQ(post(dictionary, unitsEnvelope()).status, 200);
    EXPECT_EQ(post(dictionary, purposes).status, 500);
    EXPECT_EQ(post(dictionary, purposes).status, 500);
    EXPECT_EQ(post(dictionary, purposes).status, 200);

    // An application rule matches the wrapped request.
    sim.addFault(rule(FaultKind::SoapFault, "getVetDocumentListRequest", -1));
    const std::string submit =
        submitEnvelope(sim.config().apiKey, sim.config().issuerId,
                       vetDocumentListRequest(vetissim::known::kOwnEnterpriseGuid, 10, 0));
    EXPECT_EQ(post(sim.endpoint("ApplicationManagementService"), submit).status, 500);
    EXPECT_EQ(post(sim.endpoint("ApplicationManagementService"), submit).status, 500);
    EXPECT_TRUE(sim.applications().empty());
    sim.clearFaults();
    EXPECT_EQ(post(sim.endpoint("ApplicationManagementService"), submit).status, 200);

    // From outside the process: the control endpoint and the request header.
    HttpOptions plain;
    plain.auth = false;
    const HttpResult control =
        post(sim.baseUrl() + "/sim/control?fault=unauthorized&operation=getUnitListRequest", "", plain);
    EXPECT_EQ(control.status, 200);
    EXPECT_EQ(post(dictionary, unitsEnvelope()).status, 401);
    EXPECT_EQ(post(sim.baseUrl() + "/sim/control?fault=nonsense", "", plain).status, 400);
    EXPECT_EQ(post(sim.baseUrl() + "/sim/control?prefix=generated", "", plain).status, 200);
    EXPECT_NE(post(dictionary, unitsEnvelope()).body.find("<ns1:"), std::string::npos);
    HttpOptions withHeader;
    withHeader.headers.push_back("X-Sim-Fault: malformed");
    EXPECT_FALSE(wellFormed(post(dictionary, unitsEnvelope(), withHeader).body));
    EXPECT_TRUE(wellFormed(post(dictionary, unitsEnvelope()).body));
}

TEST(VetisSimHttps, ServesWithTheGeneratedCertificateAsAuthority)
{
    VetisSim sim(quickConfig(true));
    ASSERT_TRUE(sim.start()) << sim.errorString();
    ASSERT_FALSE(sim.caCertificatePath().empty());
    EXPECT_EQ(sim.baseUrl().rfind("https://127.0.0.1:", 0), 0u);

    HttpOptions trusted;
    trusted.caFile = sim.caCertificatePath();
    const HttpResult ok = post(sim.endpoint("DictionaryService"), unitsEnvelope(), trusted);
    ASSERT_EQ(ok.code, CURLE_OK) << curl_easy_strerror(ok.code);
    EXPECT_EQ(ok.status, 200);
    EXPECT_TRUE(wellFormed(ok.body));

    // By host name too: the certificate names localhost.
    const std::string byName =
        "https://localhost:" + std::to_string(sim.port()) + "/platform/services/2.1/DictionaryService";
    EXPECT_EQ(post(byName, unitsEnvelope(), trusted).code, CURLE_OK);

    // Without the certificate as authority the peer cannot be verified.
    HttpOptions untrusted;
    untrusted.caFile = "/nonexistent-but-set.pem";
    EXPECT_NE(post(sim.endpoint("DictionaryService"), unitsEnvelope(), untrusted).code, CURLE_OK);
    const HttpResult systemStore = post(sim.endpoint("DictionaryService"), unitsEnvelope());
    EXPECT_EQ(systemStore.code, CURLE_PEER_FAILED_VERIFICATION);

    sim.addFault(rule(FaultKind::Drop));
    const HttpResult dropped = post(sim.endpoint("DictionaryService"), unitsEnvelope(), trusted);
    EXPECT_NE(dropped.code, CURLE_OK);
    EXPECT_FALSE(dropped.headersSeen);
    EXPECT_EQ(post(sim.endpoint("DictionaryService"), unitsEnvelope(), trusted).status, 200);
}
