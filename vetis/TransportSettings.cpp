// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/TransportSettings.h"

#include "vetis/CurlClass.h"

#include <QFile>

namespace vetis {

int applyTransportSettings(TCurlClass& curl, const TransportSettings& settings)
{
    int result = CURLE_OK;
    auto apply = [&result](int code) {
        if (result == CURLE_OK)
            result = code;
    };
    if (!settings.tls.verify) {
        apply(curl.SetSSLVersion(CURL_SSLVERSION_DEFAULT));
        apply(curl.SetSSLVerifyHost(false));
        apply(curl.SetSSLVerifyPeer(false));
    } else if (!settings.tls.caBundleFile.isEmpty()) {
        apply(curl.SetOption(CURLOPT_CAINFO, QFile::encodeName(settings.tls.caBundleFile).constData()));
#if defined(_WIN32) && defined(CURLSSLOPT_NATIVE_CA)
        // The bundle takes the place of libcurl's own file; the system's
        // store must stay trusted beside it (on Debian the certificate folder
        // does that).
        apply(curl.SetOption(CURLOPT_SSL_OPTIONS, long(CURLSSLOPT_NATIVE_CA)));
#endif
    }
    const TransferLimits& limits = settings.limits;
    apply(curl.SetOption(CURLOPT_CONNECTTIMEOUT_MS, long(limits.connectTimeout.count())));
    if (limits.lowSpeedLimit > 0 && limits.lowSpeedTime.count() > 0) {
        apply(curl.SetOption(CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedLimit));
        apply(curl.SetOption(CURLOPT_LOW_SPEED_TIME, long(limits.lowSpeedTime.count())));
    }
    if (limits.totalTimeout.count() > 0)
        apply(curl.SetOption(CURLOPT_TIMEOUT_MS, long(limits.totalTimeout.count())));
    if (!settings.connectTo.empty())
        apply(curl.SetConnectTo(settings.connectTo));
    return result;
}

} // namespace vetis
