// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/CurlClass.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace vetis {

// The HTTP side of the transport: reads the response headers that matter to a
// download (Accept-Ranges, the server's file name) and fetches a file in ranged,
// resumable, retried parts.
class TCurlHttpClass : public TCurlClass
{
public:
    [[nodiscard]] int Init() override;
    void OnHeaderLine(std::string_view line) override;

    // Downloads url into target; the chosen file name is not reported back.
    [[nodiscard]] virtual int DownloadFile(std::string_view url, const QString& target,
                                           std::int64_t chunkSize, curl_xferinfo_callback progress,
                                           std::int64_t* bytesOut, std::int64_t* sizeOut, int retries,
                                           bool resume);
    // Downloads url into *target. A blank target, or one that ends in a folder
    // separator, is completed with the server's file name or the last part of
    // the URL's path, and the chosen name is written back. The file grows in
    // parts of chunkSize bytes (0: one part); with resume it continues after
    // what the file already holds. A refused connection, a time-out, 400 and
    // 404 are tried again, up to retries attempts in a row.
    [[nodiscard]] virtual int DownloadFile(std::string_view url, QString* target, std::int64_t chunkSize,
                                           curl_xferinfo_callback progress, std::int64_t* bytesOut,
                                           std::int64_t* sizeOut, int retries, bool resume);

    bool rangesAccepted() const { return m_rangesAccepted; }
    // The file name of a Content-Disposition header, blank when none came.
    const std::string& serverFileName() const { return m_serverFileName; }

    // The name DownloadFile writes to for this URL and target.
    QString chooseTargetName(std::string_view url, const QString& target) const;

private:
    bool m_rangesAccepted = false;
    std::string m_serverFileName;
};

} // namespace vetis
