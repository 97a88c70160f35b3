// SPDX-License-Identifier: LicenseRef-Kestrom
#include "GuardedServer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace vetissim {
namespace {

// Waits are cut into slices so that a stopping server is noticed soon.
constexpr std::chrono::milliseconds kSlice{50};

thread_local GuardedConnection* t_current = nullptr;

#ifdef _WIN32
constexpr int kSendFlags = 0;
int pollOne(socket_t sock, short events, int ms)
{
    WSAPOLLFD entry{sock, events, 0};
    return WSAPoll(&entry, 1, ms);
}
bool wouldBlock()
{
    return WSAGetLastError() == WSAEWOULDBLOCK;
}
bool interrupted()
{
    return WSAGetLastError() == WSAEINTR;
}
void setNonBlocking(socket_t sock)
{
    u_long on = 1;
    ioctlsocket(sock, FIONBIO, &on);
}
void closeSocket(socket_t sock)
{
    shutdown(sock, SD_BOTH);
    closesocket(sock);
}
[[nodiscard]] bool shutdownBoth(socket_t sock)
{
    return shutdown(sock, SD_BOTH) == 0;
}
#else
constexpr int kSendFlags = MSG_NOSIGNAL;
int pollOne(socket_t sock, short events, int ms)
{
    pollfd entry{sock, events, 0};
    return ::poll(&entry, 1, ms);
}
bool wouldBlock()
{
    return errno == EAGAIN || errno == EWOULDBLOCK;
}
bool interrupted()
{
    return errno == EINTR;
}
void setNonBlocking(socket_t sock)
{
    const int flags = fcntl(sock, F_GETFL, 0);
    fcntl(sock, F_SETFL, flags | O_NONBLOCK);
}
void closeSocket(socket_t sock)
{
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
}
[[nodiscard]] bool shutdownBoth(socket_t sock)
{
    return ::shutdown(sock, SHUT_RDWR) == 0;
}
#endif

void describe(const sockaddr_storage& address, socklen_t length, std::string& ip, int& port)
{
    char host[NI_MAXHOST] = {};
    char service[NI_MAXSERV] = {};
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof host, service,
                    sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
        ip = host;
        port = std::atoi(service);
    }
}

// Waits for the socket within the deadline, in slices; false on time-out, error or stop.
bool waitUntil(socket_t sock, short events, std::chrono::steady_clock::time_point until,
               const std::function<bool()>& stopping)
{
    for (;;) {
        if (stopping && stopping())
            return false;
        const auto now = std::chrono::steady_clock::now();
        if (now >= until)
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now);
        const int ms = static_cast<int>(std::max<long long>(1, std::min(left, kSlice).count()));
        const int ready = pollOne(sock, events, ms);
        if (ready > 0)
            return true;
        if (ready < 0 && !interrupted())
            return false;
    }
}

// The TLS handshake of a non-blocking socket, bounded like a request.
[[nodiscard]] bool acceptTls(SSL* ssl, socket_t sock, const ServerLimits& limits,
                             const std::function<bool()>& stopping)
{
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(limits.requestTimeoutMs);
    for (;;) {
        const int result = SSL_accept(ssl);
        if (result == 1)
            return true;
        const int error = SSL_get_error(ssl, result);
        short events = 0;
        if (error == SSL_ERROR_WANT_READ)
            events = POLLIN;
        else if (error == SSL_ERROR_WANT_WRITE)
            events = POLLOUT;
        else
            return false;
        const auto idleEnd =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(limits.idleTimeoutMs);
        if (!waitUntil(sock, events, std::min(deadline, idleEnd), stopping))
            return false;
    }
}

} // namespace

// Makes a connection the current one of its worker thread while it is served.
class CurrentConnectionScope
{
public:
    explicit CurrentConnectionScope(GuardedConnection* connection) { t_current = connection; }
    ~CurrentConnectionScope() { t_current = nullptr; }
    CurrentConnectionScope(const CurrentConnectionScope&) = delete;
    CurrentConnectionScope& operator=(const CurrentConnectionScope&) = delete;
};

GuardedConnection::GuardedConnection(socket_t sock, SSL* ssl, const ServerLimits& limits,
                                     std::function<bool()> stopping)
    : m_sock(sock)
    , m_ssl(ssl)
    , m_limits(limits)
    , m_stopping(std::move(stopping))
{
    beginRequest();
}

GuardedConnection* GuardedConnection::current()
{
    return t_current;
}

void GuardedConnection::finish(ConnectionEnd why) const
{
    if (m_end == ConnectionEnd::Open)
        m_end = why;
}

bool GuardedConnection::wait(short events, Clock::time_point deadline) const
{
    if (m_end != ConnectionEnd::Open)
        return false;
    const auto idleEnd = Clock::now() + std::chrono::milliseconds(m_limits.idleTimeoutMs);
    const auto until = std::min(idleEnd, deadline);
    if (waitUntil(m_sock, events, until, m_stopping))
        return true;
    if (m_stopping && m_stopping())
        finish(ConnectionEnd::Failed);
    else if (Clock::now() >= deadline)
        finish(ConnectionEnd::TooSlow);
    else if (Clock::now() >= idleEnd)
        finish(ConnectionEnd::Silent);
    else
        finish(ConnectionEnd::Failed);
    return false;
}

bool GuardedConnection::awaitRequest(int ms)
{
    if (m_end != ConnectionEnd::Open || m_lastAnswer)
        return false;
    if (m_ssl && SSL_pending(m_ssl) > 0)
        return true;
    return waitUntil(m_sock, POLLIN, Clock::now() + std::chrono::milliseconds(ms), m_stopping);
}

void GuardedConnection::beginRequest()
{
    m_readDeadline = Clock::now() + std::chrono::milliseconds(m_limits.requestTimeoutMs);
    m_partBytes = 0;
    m_partLimit = m_limits.maxHeadBytes;
    m_inHead = true;
    m_writing = false;
}

void GuardedConnection::beginBody(std::size_t maxBytes)
{
    m_partBytes = 0;
    m_partLimit = maxBytes;
    m_inHead = false;
}

bool GuardedConnection::drop()
{
    finish(ConnectionEnd::Dropped);
    return shutdownBoth(m_sock);
}

bool GuardedConnection::is_readable() const
{
    if (m_ssl && SSL_pending(m_ssl) > 0)
        return true;
    return wait(POLLIN, m_readDeadline);
}

bool GuardedConnection::is_writable() const
{
    return wait(POLLOUT, m_writing ? m_writeDeadline : Clock::time_point::max());
}

ssize_t GuardedConnection::read(char* ptr, size_t size)
{
    if (m_end != ConnectionEnd::Open)
        return -1;
    if (m_partBytes >= m_partLimit) {
        finish(m_inHead ? ConnectionEnd::HeadTooLarge : ConnectionEnd::BodyTooLarge);
        return -1;
    }
    size = std::min<size_t>({size, m_partLimit - m_partBytes, INT_MAX});
    for (;;) {
        short waitFor = POLLIN;
        if (m_ssl) {
            const int n = SSL_read(m_ssl, ptr, static_cast<int>(size));
            if (n > 0) {
                m_partBytes += static_cast<std::size_t>(n);
                return n;
            }
            const int error = SSL_get_error(m_ssl, n);
            if (error == SSL_ERROR_ZERO_RETURN)
                return 0;
            if (error == SSL_ERROR_WANT_WRITE)
                waitFor = POLLOUT;
            else if (error != SSL_ERROR_WANT_READ) {
                finish(ConnectionEnd::Failed);
                return -1;
            }
        } else {
            const auto n = ::recv(m_sock, ptr, static_cast<int>(size), 0);
            if (n > 0) {
                m_partBytes += static_cast<std::size_t>(n);
                return n;
            }
            if (n == 0)
                return 0;
            if (interrupted())
                continue;
            if (!wouldBlock()) {
                finish(ConnectionEnd::Failed);
                return -1;
            }
        }
        if (!wait(waitFor, m_readDeadline))
            return -1;
    }
}

ssize_t GuardedConnection::write(const char* ptr, size_t size)
{
    if (m_end != ConnectionEnd::Open)
        return -1;
    if (!m_writing) {
        m_writing = true;
        m_writeDeadline = Clock::now() + std::chrono::milliseconds(m_limits.answerTimeoutMs);
    }
    size = std::min<size_t>(size, INT_MAX);
    for (;;) {
        short waitFor = POLLOUT;
        if (m_ssl) {
            const int n = SSL_write(m_ssl, ptr, static_cast<int>(size));
            if (n > 0)
                return n;
            const int error = SSL_get_error(m_ssl, n);
            if (error == SSL_ERROR_WANT_READ)
                waitFor = POLLIN;
            else if (error != SSL_ERROR_WANT_WRITE) {
                finish(ConnectionEnd::Failed);
                return -1;
            }
        } else {
            const auto n = ::send(m_sock, ptr, static_cast<int>(size), kSendFlags);
            if (n >= 0)
                return n;
            if (interrupted())
                continue;
            if (!wouldBlock()) {
                finish(ConnectionEnd::Failed);
                return -1;
            }
        }
        if (!wait(waitFor, m_writeDeadline))
            return -1;
    }
}

void GuardedConnection::get_remote_ip_and_port(std::string& ip, int& port) const
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(m_sock, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        describe(address, length, ip, port);
}

void GuardedConnection::get_local_ip_and_port(std::string& ip, int& port) const
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(m_sock, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        describe(address, length, ip, port);
}

bool serveConnection(socket_t sock, SSL_CTX* ctx, const ServerLimits& limits, std::size_t maxRequests,
                     const std::function<bool()>& stopping, const RequestProcessor& processRequest)
{
    setNonBlocking(sock);
    SSL* ssl = nullptr;
    bool ready = true;
    if (ctx) {
        ssl = SSL_new(ctx);
        ready = ssl && SSL_set_fd(ssl, static_cast<int>(sock)) == 1 && acceptTls(ssl, sock, limits, stopping);
    }
    bool result = false;
    if (ready) {
        GuardedConnection connection(sock, ssl, limits, stopping);
        const CurrentConnectionScope scope(&connection);
        for (std::size_t served = 0; served < maxRequests; ++served) {
            const int waitMs = served == 0 ? limits.idleTimeoutMs : limits.keepAliveTimeoutMs;
            if (!connection.awaitRequest(waitMs))
                break;
            connection.beginRequest();
            bool connectionClosed = false;
            result = processRequest(connection, served + 1 == maxRequests, connectionClosed, ssl);
            if (!result || connectionClosed || connection.lastAnswer() ||
                connection.end() != ConnectionEnd::Open)
                break;
        }
    }
    if (ssl) {
        // One attempt at a close notify, never a wait for the peer's.
        SSL_shutdown(ssl);
        SSL_free(ssl);
    }
    closeSocket(sock);
    return result;
}

} // namespace vetissim
