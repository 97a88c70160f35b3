// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "SimTypes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vetissim {

class FixtureStore;

// The VetIS.API test double: a loopback HTTP(S) server that answers the
// registry, dictionary and application operations like the VetIS services,
// from fixture data, and misbehaves on request. It runs on its own threads;
// every method may be called while it runs.
//
//   vetissim::VetisSim sim;            // HTTP on a free port, built-in fixtures
//   sim.start();
//   post(sim.endpoint("DictionaryService"), envelope, sim.config().user, ...);
//   sim.addFault({vetissim::FaultKind::Drop});   // the next request is dropped
//   sim.received();                     // what came in
//
// Besides the services, GET /pub/operatorui prints a fixture VSD as a PDF
// document as Mercury's operator interface does (PrintFormService.h),
// POST /sim/control?... changes the behaviour from outside the process (see
// ControlEndpoint in VetisSim.cpp) and a request header "X-Sim-Fault: <kind>"
// makes that one request misbehave.
class VetisSim
{
public:
    // The built-in world of config.fixtures is built once per process and shared
    // by every double of the same fixture options; what a double changes (its
    // applications, the enterprises and repaid VSDs they make, the fixture
    // folder) stays its own.
    explicit VetisSim(SimConfig config = {});
    ~VetisSim();
    VetisSim(const VetisSim&) = delete;
    VetisSim& operator=(const VetisSim&) = delete;

    // Takes the fixture folder over the built-in fixtures, binds the port and
    // starts serving. False with errorString() when any step fails.
    [[nodiscard]] bool start();
    void stop();
    bool isRunning() const;
    std::string errorString() const;

    const SimConfig& config() const;
    int port() const;
    // "http://127.0.0.1:port" or "https://127.0.0.1:port".
    std::string baseUrl() const;
    // The URL of a service: baseUrl() + "/platform/services/2.1/" + service.
    std::string endpoint(const std::string& service) const;
    // The PEM certificate served over HTTPS (given or generated); a client takes
    // it as its CA bundle. Empty over HTTP.
    std::string caCertificatePath() const;

    void setPrefixStyle(PrefixStyle style);
    // Receives after which applications are IN_PROCESS and COMPLETED (0: COMPLETED at once).
    void setCompletion(int inProcessAfterReceives, int completeAfterReceives);
    void setFaultOnOffsetOutOfRange(bool on);

    void addFault(const FaultRule& rule);
    void clearFaults();
    // A repay or return of this VSD is REJECTED with the error.
    void rejectVsd(const std::string& uuid, const std::string& code, const std::string& text);

    std::vector<ReceivedRequest> received() const;
    void clearReceived();
    std::vector<ApplicationInfo> applications() const;

    // The fixture data, under the simulator's lock (do not keep references).
    void withFixtures(const std::function<void(FixtureStore&)>& action);
    // vd:vetDStatus of a fixture VSD; empty when there is none.
    std::string vsdStatus(const std::string& uuid) const;
    // UUIDs of the fixture VSDs in list order.
    std::vector<std::string> vsdUuids() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

// Parses a fault kind name as the control endpoint and the X-Sim-Fault header
// take them: soap-fault, unauthorized, delay, stall, drop, malformed,
// truncated, partial, huge, wrong-content-type.
[[nodiscard]] bool faultKindFromName(std::string_view name, FaultKind& kind);
const char* faultKindName(FaultKind kind);

} // namespace vetissim
