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
#include "vetis/AnswerDocument.h"
#include "vetis/ApplicationAnswer.h"
#include "vetis/Catalogue.h"
#include "vetis/Endpoints.h"
#include "vetis/ExchangeFiles.h"
#include "vetis/PostRequest.h"
#include "vetis/UserMessages.h"
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

// A refused answer: the user learns why as of a transport failure (not in
// silent mode); the request keeps the text for a caller in silent mode.
void reportRefusedAnswer(const std::string& whyUtf8, RequestRecord& request, int answerMode)
{
    store::setText(request.APPERROR, platform::utf8ToCp1251(whyUtf8));
    if (answerMode != kAnswerSilent)
        showTransportProblem(QString::fromStdString(whyUtf8));
}

// Takes an answer of status 200: parsed and checked once (its bytes are
// parsed in place), then its application fields and lists are read from the
// document. False when the answer is refused (`refused` says why) or holds
// no application where one is expected.
bool takeAnswer(std::string& answer, RequestRecord& request, ExchangeContext& context, std::string& refused)
{
    // Without a list, and for a receive, the answer is an application.
    const bool application = !request.lists[0] || request.requestCode() == RequestCode::ReceiveApplicationResult;
    AnswerDocument document;
    if (document.parse(answer.data(), answer.size(), context.limits.maxAnswerBytes) != AnswerProblem::None) {
        // Nothing of a refused answer is taken, not even a part of it.
        if (application)
            storeApplicationFields(ApplicationFields{}, request);
        refused = document.description();
        return false;
    }
    bool complete = true;
    if (application) {
        const ApplicationFields fields = readApplicationFields(document.document());
        storeApplicationFields(fields, request);
        complete = fields.complete;
    }
    if (!request.lists[0]) {
        // Without a list the answer is its application: a sound document
        // without one is no success.
        return complete;
    }
    const AnswerReading reading =
        context.reader ? context.reader->readAnswer(document, request) : AnswerReading{};
    request.RLOAD = reading.entries < 0 ? 0 : reading.entries;
    if (reading.entries < 0) {
        refused = reading.problem;
        return false;
    }
    return true;
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
    std::string refused; // why the answer is not taken, UTF-8
    if (answer && request.RCODE == 200) {
        result = takeAnswer(*answer, request, context, refused);
    } else if (answer && request.RCODE != 0) {
        // Another status: a Fault in it says why; a page that is no XML is
        // simply none.
        if (const std::optional<SoapFault> fault = readSoapFault(*answer))
            refused = soapFaultMessage(*fault);
    }
    if (!refused.empty())
        reportRefusedAnswer(refused, request, settings.ANSWER);
    request.FLAGLUCK = result ? 1 : 0;
    return result;
}

} // namespace vetis
