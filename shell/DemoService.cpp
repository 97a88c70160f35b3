// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/DemoService.h"

#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"

namespace shell {

namespace {

vetissim::SimConfig demoConfig(const DemoServiceOptions& options)
{
    vetissim::SimConfig config;
    config.host = "127.0.0.1";
    config.port = 0;
    config.user = "demo";
    config.password = "demo-password";
    config.apiKey = "demo-api-key";
    config.issuerId = vetissim::known::kOwnEntityGuid;
    // An application is in process after the first receive and done after
    // the second, so that the demo shows both.
    config.inProcessAfterReceives = 1;
    config.completeAfterReceives = 2;
    config.fixtures.vsdCount = options.vsdCount;
    config.fixtures.today = options.today;
    return config;
}

} // namespace

DemoService::DemoService(DemoServiceOptions options)
    : m_sim(std::make_unique<vetissim::VetisSim>(demoConfig(options)))
{}

DemoService::~DemoService()
{
    stop();
}

bool DemoService::start()
{
    if (m_running)
        return true;
    if (!m_sim->start()) {
        m_error = QString::fromStdString(m_sim->errorString());
        return false;
    }
    vetis::setEndpointBaseOverride(m_sim->baseUrl());
    m_running = true;
    return true;
}

void DemoService::stop()
{
    if (!m_running)
        return;
    vetis::clearEndpointOverrides();
    m_sim->stop();
    m_running = false;
}

bool DemoService::isRunning() const
{
    return m_running;
}

QString DemoService::errorText() const
{
    return m_error;
}

std::string DemoService::baseUrl() const
{
    return m_running ? m_sim->baseUrl() : std::string{};
}

std::string DemoService::entityGuid() const
{
    return m_sim->config().issuerId;
}

std::string DemoService::login() const
{
    return m_sim->config().user;
}

std::string DemoService::password() const
{
    return m_sim->config().password;
}

std::string DemoService::apiKey() const
{
    return m_sim->config().apiKey;
}

} // namespace shell
