// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace simtest {

// A plain TCP connection to the simulator on loopback, for clients that no
// HTTP library would be: silent, slow, or sending far too much.
class RawConnection
{
public:
    explicit RawConnection(int port);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const { return m_fd >= 0; }
    // Sends all of text; false once the server has closed or reset the connection.
    [[nodiscard]] bool send(std::string_view text);
    // Sends filler again and again until the server refuses more or limit bytes
    // are out; returns the bytes sent.
    std::size_t flood(std::string_view filler, std::size_t limit);
    // Reads until the server closes the connection, for at most waitMs; true when
    // it closed. What came meanwhile is appended to received.
    [[nodiscard]] bool closedByServerWithin(int waitMs, std::string* received = nullptr);

private:
    int m_fd = -1;
};

} // namespace simtest
