// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

// A local HTTP(S) server on 127.0.0.1 for the transport tests, plus the
// listeners the tests read: trace lines, progress values, message boxes.

#include "framework/MessageBox.h"
#include "framework/RecordingPresenter.h"
#include "platform/DebugOutput.h"
#include "vetis/RequestRecord.h"

#include <QLoggingCategory>
#include <QProcess>
#include <QString>

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace transporttest {

class LocalServer
{
public:
    LocalServer()
        : m_server(std::make_unique<httplib::Server>())
    {}
    // HTTPS with the given PEM certificate and key.
    LocalServer(const QString& certFile, const QString& keyFile)
        : m_server(std::make_unique<httplib::SSLServer>(certFile.toLocal8Bit().constData(),
                                                        keyFile.toLocal8Bit().constData()))
        , m_https(true)
    {}
    ~LocalServer() { stop(); }
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    httplib::Server& http() { return *m_server; }

    // Starts listening on a free port; false when it cannot.
    [[nodiscard]] bool start()
    {
        m_server->set_keep_alive_timeout(1);
        m_port = m_server->bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            return false;
        m_thread = std::thread([this] { m_server->listen_after_bind(); });
        for (int i = 0; i < 500 && !m_server->is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return m_server->is_running();
    }
    void stop()
    {
        m_stopping = true;
        if (m_thread.joinable()) {
            m_server->stop();
            m_thread.join();
        }
    }

    int port() const { return m_port; }
    std::string url(const std::string& path) const
    {
        return std::string(m_https ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_port) + path;
    }

    // A handler that keeps the client waiting: returns when the test ends or
    // after the longest wait.
    void stall(std::chrono::milliseconds longest = std::chrono::milliseconds(5000)) const
    {
        const auto until = std::chrono::steady_clock::now() + longest;
        while (!m_stopping && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

private:
    std::unique_ptr<httplib::Server> m_server;
    bool m_https = false;
    int m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
};

// A port on which nobody listens: bound without listening, then released.
inline int refusedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

// A self-signed certificate for 127.0.0.1, made with the openssl tool.
[[nodiscard]] inline bool makeSelfSignedCertificate(const QString& certFile, const QString& keyFile)
{
    QProcess openssl;
    openssl.start(
        QStringLiteral("openssl"),
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
         QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
         QStringLiteral("-keyout"), keyFile, QStringLiteral("-out"), certFile, QStringLiteral("-days"),
         QStringLiteral("1"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
         QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1")});
    return openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit &&
           openssl.exitCode() == 0;
}

// Collects the trace lines written while it lives.
class TraceCapture
{
public:
    TraceCapture()
    {
        platform::setDebugOutputListener([this](std::string_view line) {
            std::lock_guard lock(m_mutex);
            m_lines.emplace_back(line);
        });
    }
    ~TraceCapture() { platform::setDebugOutputListener({}); }
    std::vector<std::string> lines() const
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    bool contains(const std::string& text) const
    {
        for (const std::string& line : lines()) {
            if (line.find(text) != std::string::npos)
                return true;
        }
        return false;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

// While it lives the trace carries request and answer bodies, as a user asks
// for with QT_LOGGING_RULES="vetis.curl.body.debug=true".
class BodyTrace
{
public:
    BodyTrace() { QLoggingCategory::setFilterRules(QStringLiteral("vetis.curl.body.debug=true")); }
    ~BodyTrace() { QLoggingCategory::setFilterRules(QString()); }
    BodyTrace(const BodyTrace&) = delete;
    BodyTrace& operator=(const BodyTrace&) = delete;
};

// Message boxes shown while it lives.
class MessageCapture
{
public:
    MessageCapture() { framework::setMessagePresenter(&m_presenter); }
    ~MessageCapture() { framework::setMessagePresenter(nullptr); }
    std::vector<framework::MessageRequest> shown() const { return m_presenter.shown(); }

private:
    framework::RecordingPresenter m_presenter;
};

// A progress bar with a cancel button that the test presses after a delay.
class RecordingControl : public vetis::TransferControl
{
public:
    void setProgress(int value) override { values.push_back(value); }
    bool cancelRequested() const override
    {
        return cancelAt && std::chrono::steady_clock::now() >= *cancelAt;
    }
    void cancelAfter(std::chrono::milliseconds delay) { cancelAt = std::chrono::steady_clock::now() + delay; }

    std::vector<int> values;
    std::optional<std::chrono::steady_clock::time_point> cancelAt;
};

} // namespace transporttest
