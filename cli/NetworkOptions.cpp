// SPDX-License-Identifier: LicenseRef-Kestrom
#include "cli/NetworkOptions.h"

#include "vetis/Endpoints.h"

#include <QDir>
#include <QUrl>
#include <QUuid>

namespace cli {

bool readNetworkOptions(const Arguments& args, NetworkOptions& out, std::string& error)
{
    out.data = QString::fromLocal8Bit(args.option("--data"));
    out.entityGuid = args.option("--guid");
    if (out.data.isEmpty() || out.entityGuid.empty()) {
        error = "--data DIR and --guid ENTITY are needed";
        return false;
    }
    if (out.entityGuid.size() != 36 || QUuid::fromString(QString::fromStdString(out.entityGuid)).isNull()) {
        error = "--guid takes the entity's GUID (36 characters)";
        return false;
    }
    if (!QDir(out.data + QStringLiteral("/Base")).exists()) {
        error =
            "no data folder " + (out.data + QStringLiteral("/Base")).toStdString() + " (see zanvo-cli init)";
        return false;
    }
    const std::string endpoint = args.option("--endpoint");
    if (!endpoint.empty()) {
        const QUrl url(QString::fromStdString(endpoint), QUrl::StrictMode);
        if (!url.isValid() ||
            (url.scheme() != QStringLiteral("http") && url.scheme() != QStringLiteral("https")) ||
            url.host().isEmpty() || !url.query().isEmpty() || !url.fragment().isEmpty()) {
            error = "--endpoint takes a URL such as https://127.0.0.1:8443";
            return false;
        }
        vetis::setEndpointBaseOverride(endpoint);
    }
    return true;
}

} // namespace cli
