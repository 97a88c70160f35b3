// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/TransportSettings.h"

#include <QString>

#include <string_view>

namespace vetis {

class TransferControl;

// What a transfer procedure ended with: the libcurl result code (0 = success,
// CURLE_ABORTED_BY_CALLBACK = the user cancelled it).
struct TransferOutcome
{
    int code = -1;
    bool ok() const { return code == 0; }
    bool cancelled() const;
    explicit operator bool() const { return ok(); }
};

// Fetches url into the file target (created or emptied) with HTTP Basic
// credentials when a user or password is given. The control shows the
// progress and can cancel. On failure, with showErrors, the user is told why
// (a cancel is not reported as a failure), and a partly written target is removed.
[[nodiscard]] TransferOutcome DownloadToFile(const QString& target, std::string_view url,
                                             std::string_view user, std::string_view password,
                                             bool showErrors, TransferControl* control = nullptr,
                                             const TransportSettings& settings = {});

} // namespace vetis
