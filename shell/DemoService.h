// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <memory>
#include <string>

namespace vetissim {
class VetisSim;
}

// The VetIS services of the demo: the VetIS test double, run inside the
// program on a free loopback port, with every exchange of the process and the
// print form pointed at it. A newcomer without VetIS credentials requests,
// repays and prints VSDs of the double's own entity as he would at VetIS.
namespace shell {

// VSDs the demo's service holds for the own entity's enterprises: a few
// hundred, of which the prepared data folder holds all but the newest days'.
inline constexpr int kDemoServiceVsdCount = 360;

struct DemoServiceOptions
{
    int vsdCount = kDemoServiceVsdCount;
    // Day (from 1970-01-01) the VSDs' issue dates lead up to; 0 = today.
    int today = 0;
};

class DemoService
{
public:
    explicit DemoService(DemoServiceOptions options = {});
    // Stops the service when it still runs.
    ~DemoService();
    DemoService(const DemoService&) = delete;
    DemoService& operator=(const DemoService&) = delete;

    // Starts serving on 127.0.0.1 and points every exchange and the print
    // form of the process at it. False, with errorText(), when it cannot.
    [[nodiscard]] bool start();
    // Stops serving, waits for the requests in progress, and points the
    // process back at the real services. Nothing when it does not run.
    void stop();
    bool isRunning() const;
    QString errorText() const;

    // "http://127.0.0.1:PORT"; empty while stopped.
    std::string baseUrl() const;
    // The access settings the service takes (UTF-8).
    std::string entityGuid() const;
    std::string login() const;
    std::string password() const;
    std::string apiKey() const;

private:
    std::unique_ptr<vetissim::VetisSim> m_sim;
    QString m_error;
    bool m_running = false;
};

} // namespace shell
