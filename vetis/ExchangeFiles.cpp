// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/ExchangeFiles.h"

#include "platform/DebugOutput.h"
#include "vetis/SecretMask.h"

#include <QDir>
#include <QSaveFile>

namespace vetis {

namespace {

// The local name of the element whose start tag begins at `lt`.
std::string_view elementNameAt(std::string_view text, std::size_t lt)
{
    std::size_t begin = lt + 1;
    std::size_t end = text.find_first_of(" \t\r\n/>", begin);
    if (end == std::string_view::npos)
        return {};
    std::string_view qname = text.substr(begin, end - begin);
    const std::size_t colon = qname.find(':');
    return colon == std::string_view::npos ? qname : qname.substr(colon + 1);
}

[[nodiscard]] bool writeFile(const QString& path, std::string_view bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        return false;
    return file.commit();
}

} // namespace

std::string operationNameOf(std::string_view envelope)
{
    // An application carries its Mercury request inside; that is the name a
    // user recognises.
    const std::size_t merc = envelope.find("<merc:");
    if (merc != std::string_view::npos)
        return std::string(elementNameAt(envelope, merc));
    std::size_t body = envelope.find("Body>");
    if (body == std::string_view::npos)
        return {};
    const std::size_t lt = envelope.find('<', body);
    if (lt == std::string_view::npos || lt + 1 >= envelope.size() || envelope[lt + 1] == '/')
        return {};
    return std::string(elementNameAt(envelope, lt));
}

QString exchangeFileStem(const QDateTime& when, RequestCode code, std::string_view operation)
{
    QString name = QString::fromLatin1(operation.data(), static_cast<qsizetype>(operation.size()));
    // Element names are safe in file names, but an envelope is no place to trust.
    for (QChar& c : name)
        if (!c.isLetterOrNumber() && c != u'_' && c != u'-')
            c = u'_';
    if (name.isEmpty())
        name = QStringLiteral("request");
    return when.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + u'_' +
           QStringLiteral("%1").arg(requestCodeNumber(code), 3, 10, QLatin1Char('0')) + u'_' + name;
}

bool writeExchangeFiles(const QString& folder, const QDateTime& when, RequestCode code,
                        std::string_view request, std::string_view response)
{
    const QString stem = QDir(folder).filePath(exchangeFileStem(when, code, operationNameOf(request)));
    // The files are for the service's support: the credentials stay here.
    const bool ok = writeFile(stem + QStringLiteral("_request.xml"), maskSecrets(request)) &&
                    writeFile(stem + QStringLiteral("_response.xml"), maskSecrets(response));
    if (!ok)
        platform::debugOutput("[exchange] the XML exchange files could not be written to " +
                              folder.toStdString());
    return ok;
}

} // namespace vetis
