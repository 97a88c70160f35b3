// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/Exchange.h"

#include "framework/ErrorManager.h"
#include "framework/LastError.h"
#include "framework/MessageBox.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/tables/Vetis.h"
#include "vetis/ApplicationAnswer.h"
#include "vetis/Catalogue.h"
#include "vetis/Endpoints.h"
#include "vetis/ExchangeFiles.h"
#include "vetis/PostRequest.h"
#include "vetis/VetisSettings.h"
#include "vetis/VetisSettingsRepository.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <string>

namespace vetis {

namespace {

QString dumpFolderOf(const store::VetisRecord& settings)
{
    const std::string_view folder = store::ztextOf(settings.DUMPPATH);
    if (store::isBlank(folder))
        return {};
    const QString path = platform::fromCp1251(store::clip(folder)).trimmed();
    return QFileInfo(path).isDir() ? path : QString();
}

} // namespace

void stampRequest(RequestRecord& request)
{
    const QDateTime now = platform::currentDateTime();
    const std::string ltid = "Zanvs_" + std::to_string(platform::timeNumber(now.time()));
    store::setZText(request.LTID, ltid);
    const std::string stamp = now.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString();
    store::setZText(request.ISSUEDATE, stamp);
}

bool Exchange(RequestRecord& request, ExchangeContext& context)
{
    framework::MessagePresenter& presenter = framework::messagePresenter();
    request.FLAGLUCK = 0;
    context.outcome = TransferOutcome{};
    if (!isEntityGuid(std::string_view(request.VETISGUID, sizeof request.VETISGUID))) {
        framework::problemMessage(
            presenter, QStringLiteral("Нет номера GUID ХС для получения настроек доступа к АИС Меркурий !"),
            true);
        return false;
    }

    store::VetisRecord settings = clearedVetisRecord();
    if (context.settings) {
        const std::string_view guid =
            store::clip(std::string_view(request.VETISGUID, sizeof request.VETISGUID));
        framework::clearLastError();
        if (std::optional<store::VetisRecord> found = context.settings->find(guid)) {
            settings = *found;
        } else if (const framework::LastError& error = framework::lastError();
                   error.code != 0 && error.code != store::kRecordNotFound) {
            // A settings file that cannot be read is not the same as no
            // settings: the user learns what is wrong with the file. The
            // message is fatal (the program ends after OK): no answer to read.
            static_cast<void>(framework::errorManager().report_for_file(
                framework::MessageId::FileOpenFailed, QString::fromStdString(error.fileName)));
            return false;
        }
    }
    if (!isEntityGuid(std::string_view(settings.GUID, sizeof settings.GUID))) {
        framework::problemMessage(
            presenter, QStringLiteral("Нет данных для доступа к АИС Меркурий через интерфейс Ветис.API !"),
            true);
        return false;
    }

    request.RLOAD = 0;
    if (request.lists[0] && context.reader)
        context.reader->clearList(*request.lists[0]);
    stampRequest(request);

    std::string body;
    const int service = BuildEnvelope(request, settings, context.vsd, context.inside, body);
    if (service == 0) {
        if (!isKnownOperation(request.requestCode()))
            framework::informationMessage(presenter,
                                          QStringLiteral("Неизвестный номер запроса в систему Меркурий: %1 !")
                                              .arg(static_cast<int>(request.VREQUEST)));
        return false;
    }

    const std::string url = serviceUrl(service, settings.TEST);
    TransportSettings transport(tlsSettingsOf(settings), context.limits);
    transport.connectTo = context.connectTo;
    const QDateTime sentAt = platform::currentDateTime();
    std::optional<std::string> answer = PostRequest(
        &body, kVerbPost, settings.ANSWER, request.RCODE, request.control, url,
        store::ztextOf(settings.LOGIN), store::ztextOf(settings.PASSWORD), transport, &context.outcome);

    const QString dumpFolder = dumpFolderOf(settings);
    if (!dumpFolder.isEmpty())
        // The files are a copy for the service's support; a folder that
        // cannot take them is traced, and the exchange itself goes on.
        static_cast<void>(writeExchangeFiles(dumpFolder, sentAt, request.requestCode(), body,
                                             answer ? *answer : std::string()));
    body.clear();

    bool result = false;
    if (answer && request.RCODE == 200) {
        bool complete = true;
        if (!request.lists[0] || request.requestCode() == RequestCode::ReceiveApplicationResult)
            complete = extractApplicationFields(*answer, request);
        if (request.lists[0]) {
            const int loaded = context.reader ? context.reader->readAnswer(*answer, request) : -1;
            request.RLOAD = loaded < 0 ? 0 : loaded;
            result = loaded >= 0;
        } else {
            // Without a list the answer is its application: a cut or damaged
            // answer, or a proxy's page, is no success.
            result = complete;
        }
    }
    request.FLAGLUCK = result ? 1 : 0;
    return result;
}

} // namespace vetis
