// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

// The maker's update site for the tests: a loopback HTTP(S) server on a free
// port, run in a thread for one test.

#include <QString>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace updatetest {

class UpdateSite
{
public:
    UpdateSite()
        : m_server(std::make_unique<httplib::Server>())
    {}
    // HTTPS with the given PEM certificate and key.
    UpdateSite(const std::string& certFile, const std::string& keyFile)
        : m_server(std::make_unique<httplib::SSLServer>(certFile.c_str(), keyFile.c_str()))
        , m_scheme(QStringLiteral("https"))
    {}
    ~UpdateSite()
    {
        if (m_thread.joinable()) {
            m_server->stop();
            m_thread.join();
        }
    }
    UpdateSite(const UpdateSite&) = delete;
    UpdateSite& operator=(const UpdateSite&) = delete;

    httplib::Server& http() { return *m_server; }

    [[nodiscard]] bool start()
    {
        m_port = m_server->bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            return false;
        m_thread = std::thread([this] { m_server->listen_after_bind(); });
        for (int i = 0; i < 500 && !m_server->is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return m_server->is_running();
    }

    QString base() const { return m_scheme + QStringLiteral("://127.0.0.1:%1").arg(m_port); }

    // Serves a version file and counts the requests for it.
    void publish(const std::string& versionFile)
    {
        m_server->Get("/_version", [this, versionFile](const httplib::Request&, httplib::Response& res) {
            ++versionRequests;
            res.set_content(versionFile, "text/plain");
        });
    }

    std::atomic<int> versionRequests{0};

private:
    std::unique_ptr<httplib::Server> m_server;
    QString m_scheme = QStringLiteral("http");
    std::thread m_thread;
    int m_port = 0;
};

} // namespace updatetest
