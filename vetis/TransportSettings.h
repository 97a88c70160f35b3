// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/ProcessSettings.h"

#include <QString>

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace vetis {

class TCurlClass;

// How a connection's server is trusted. Certificates and host names are
// verified by default against the system's store; a CA bundle file adds the
// authorities some Russian services use. Turning verification off is the
// caller's explicit choice, never a default.
struct TlsSettings
{
    bool verify = true;
    QString caBundleFile; // PEM file of extra trusted authorities; empty for none
};

// Limits that keep a stalled transfer from blocking the caller for ever: the
// connection must be made within connectTimeout, and a transfer slower than
// lowSpeedLimit bytes per second for lowSpeedTime is aborted (CURLE_OPERATION_TIMEDOUT).
// totalTimeout of zero leaves the whole transfer unbounded in time. An answer
// longer than maxAnswerBytes (by default the program's setting) is neither
// received nor read.
struct TransferLimits
{
    std::chrono::milliseconds connectTimeout{20000};
    long lowSpeedLimit = 1;
    std::chrono::seconds lowSpeedTime{60};
    std::chrono::milliseconds totalTimeout{0};
    std::size_t maxAnswerBytes = framework::process::maxAnswerBytes();
};

struct TransportSettings
{
    // Implicit, so that a TlsSettings alone can be passed where settings are wanted.
    TransportSettings(TlsSettings tlsSettings = {}, TransferLimits transferLimits = {})
        : tls(std::move(tlsSettings))
        , limits(transferLimits)
    {}
    TlsSettings tls;
    TransferLimits limits;
    // "HOST:PORT:CONNECT-HOST:CONNECT-PORT" entries; empty for the usual route.
    std::vector<std::string> connectTo;
};

// Applies the settings to an initialised transfer object; the libcurl result code.
[[nodiscard]] int applyTransportSettings(TCurlClass& curl, const TransportSettings& settings);

} // namespace vetis
