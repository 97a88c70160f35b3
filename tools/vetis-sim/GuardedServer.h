// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "SimTypes.h"

#include <httplib.h>

#include <chrono>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace vetissim {

// Why a connection ended before its exchange was over.
enum class ConnectionEnd
{
    Open,         // still serving
    Silent,       // nothing came (or was taken) within the idle time-out
    TooSlow,      // the request, or the answer, took longer than allowed
    HeadTooLarge, // request line and headers passed maxHeadBytes
    BodyTooLarge, // the body as sent (framing and compression included) passed its budget
    Dropped,      // closed on purpose (the drop misbehaviour)
    Failed,       // the peer went away, or the server stops
};

// One accepted connection as the request parser of cpp-httplib reads and
// writes it, with the limits of ServerLimits applied underneath: every wait is
// bounded by the idle time-out, a request must arrive whole within the request
// time-out, an answer must be taken within the answer time-out, and a request
// head larger than maxHeadBytes, or a body larger than its budget, ends the
// connection. Once a limit is passed
// every further read and write fails, so the connection closes.
class GuardedConnection final : public httplib::Stream
{
public:
    GuardedConnection(socket_t sock, SSL* ssl, const ServerLimits& limits, std::function<bool()> stopping);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return m_sock; }

    // Waits up to ms for the first byte of the next request; false when none comes.
    [[nodiscard]] bool awaitRequest(int ms);
    // A new request starts: its head is counted and its time runs.
    void beginRequest();
    // The body of the request follows: it may take up to maxBytes as sent, framing
    // and compression included, instead of the head limit.
    void beginBody(std::size_t maxBytes);
    // No further request is read on this connection once this answer is out.
    void endAfterThisAnswer() { m_lastAnswer = true; }
    bool lastAnswer() const { return m_lastAnswer; }
    // Closes both directions at once: the client gets nothing more.
    [[nodiscard]] bool drop();
    ConnectionEnd end() const { return m_end; }

    // The connection the calling worker thread serves, inside a request; null elsewhere.
    static GuardedConnection* current();

private:
    using Clock = std::chrono::steady_clock;
    // Waits until the socket is ready for events, within the idle time-out and the deadline.
    [[nodiscard]] bool wait(short events, Clock::time_point deadline) const;
    void finish(ConnectionEnd why) const;

    socket_t m_sock;
    SSL* m_ssl;
    const ServerLimits& m_limits;
    std::function<bool()> m_stopping;
    Clock::time_point m_readDeadline;
    Clock::time_point m_writeDeadline;
    // Bytes read of the request part under way, and what that part may take.
    std::size_t m_partBytes = 0;
    std::size_t m_partLimit = 0;
    bool m_inHead = false;
    bool m_writing = false;
    bool m_lastAnswer = false;
    mutable ConnectionEnd m_end = ConnectionEnd::Open;

    friend class CurrentConnectionScope;
};

// Serves one accepted connection (TLS when ctx is given) request by request
// until the client is done, a limit is passed or stopping() turns true; then
// closes the socket. processRequest parses and answers one request.
using RequestProcessor =
    std::function<bool(httplib::Stream& stream, bool closeConnection, bool& connectionClosed, SSL* ssl)>;
[[nodiscard]] bool serveConnection(socket_t sock, SSL_CTX* ctx, const ServerLimits& limits,
                                   std::size_t maxRequests, const std::function<bool()>& stopping,
                                   const RequestProcessor& processRequest);

// A cpp-httplib server (Server or SSLServer) whose connections are served by
// serveConnection with the given limits, on limits.workers threads.
template <class Base>
class GuardedServer final : public Base
{
public:
    template <class... Args>
    explicit GuardedServer(const ServerLimits& limits, Args&&... args)
        : Base(std::forward<Args>(args)...)
        , m_limits(limits)
    {
        const int workers = limits.workers > 0 ? limits.workers : 1;
        this->new_task_queue = [workers] { return new httplib::ThreadPool(static_cast<size_t>(workers)); };
        // The library's own settings, for what it still does itself: the time-outs it
        // sets on accepted sockets, the Keep-Alive header and bodies it reads itself.
        this->set_read_timeout(std::chrono::milliseconds(limits.idleTimeoutMs));
        this->set_write_timeout(std::chrono::milliseconds(limits.idleTimeoutMs));
        this->set_keep_alive_timeout((limits.keepAliveTimeoutMs + 999) / 1000);
        this->set_payload_max_length(limits.maxBodyBytes);
    }

private:
    bool process_and_close_socket(socket_t sock) override
    {
        SSL_CTX* ctx = nullptr;
        if constexpr (std::is_base_of_v<httplib::SSLServer, Base>)
            ctx = this->ssl_context();
        return serveConnection(
            sock, ctx, m_limits, this->keep_alive_max_count_,
            [this] { return this->svr_sock_ == INVALID_SOCKET; },
            [this](httplib::Stream& stream, bool closeConnection, bool& connectionClosed, SSL* ssl) {
                return this->process_request(stream, closeConnection, connectionClosed,
                                             [ssl](httplib::Request& request) { request.ssl = ssl; });
            });
    }

    ServerLimits m_limits;
};

} // namespace vetissim
