// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/RequestCodes.h"

#include <QDateTime>
#include <QString>
#include <string>
#include <string_view>

// The XML exchange files: when the access settings name a folder, every
// request and its answer are written there, one pair of files per call, so
// that a user can show the service's support exactly what was sent and what
// came back. Names sort by time and tell the operation:
//   20261207-104400-123_051_getVetDocumentListRequest_request.xml
//   20261207-104400-123_051_getVetDocumentListRequest_response.xml
namespace vetis {

// The operation element an envelope carries: for an application the inner
// Mercury request, otherwise the first element of the body; without prefix.
std::string operationNameOf(std::string_view envelope);

// The common stem of a call's two file names.
QString exchangeFileStem(const QDateTime& when, RequestCode code, std::string_view operation);

// Writes the pair into folder (which must exist), byte for byte as sent and
// received except for the credentials, which are masked (maskSecrets). Returns
// false when a file cannot be written; the exchange goes on regardless.
[[nodiscard]] bool writeExchangeFiles(const QString& folder, const QDateTime& when, RequestCode code,
                                      std::string_view request, std::string_view response);

} // namespace vetis
