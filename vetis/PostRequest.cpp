// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/PostRequest.h"

#include "platform/CodePage.h"
#include "store/RecordText.h"
#include "vetis/AsciiCase.h"
#include "vetis/CurlHttpClass.h"
#include "vetis/RequestRecord.h"
#include "vetis/UserMessages.h"

namespace vetis {

namespace {

// The request object of this procedure: the caller's control shows the
// percentage of the answer received, or, when its size is not known, a value
// that runs up to 100 and starts again.
class SoapRequest final : public TCurlHttpClass
{
public:
    explicit SoapRequest(TransferControl* control) { setTransferControl(control); }

    int OnProgress(double expected, double received, double, double) override
    {
        TransferControl* control = transferControl();
        if (!control || received <= 0)
            return 0;
        if (expected > 0) {
            control->setProgress(int(received * 100 / expected));
            return 0;
        }
        const auto bytes = static_cast<long long>(received);
        while (bytes - 100 * m_hundreds > 100)
            ++m_hundreds;
        control->setProgress(int(bytes - 100 * m_hundreds));
        return 0;
    }

private:
    long long m_hundreds = 0;
};

bool declaresUtf8(std::string_view answer)
{
    return asciiUpper(answer.substr(0, 50)).find("UTF-8") != std::string::npos;
}

// "256 МБ", "64 КБ".
QString sizeText(std::size_t bytes)
{
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    if (bytes >= kMiB)
        return QString::number(static_cast<qulonglong>(bytes / kMiB)) + QStringLiteral(" МБ");
    return QString::number(static_cast<qulonglong>(bytes / 1024)) + QStringLiteral(" КБ");
}

} // namespace

std::optional<std::string> PostRequest(const std::string* body, int verb, int answerMode,
                                       std::int32_t& status, TransferControl* control, std::string_view url,
                                       std::string_view user, std::string_view password,
                                       const TransportSettings& settings, TransferOutcome* outcome)
{
    status = 0;
    if (outcome)
        *outcome = TransferOutcome{};
    if (control)
        control->setProgress(0);

    SoapRequest curl(control);
    int setup = curl.Init();
    if (setup == CURLE_OK)
        setup = curl.AddHttpHeader("Content-Type: text/xml; charset=utf-8");
    if (setup == CURLE_OK)
        setup = curl.ApplyHttpHeaders();
    if (setup == CURLE_OK)
        setup = applyTransportSettings(curl, settings);
    if (setup == CURLE_OK) {
        switch (verb) {
        case kVerbPut:
            setup = curl.SetCustomRequest("PUT");
            break;
        case kVerbPost:
            setup = curl.SetCustomRequest("POST");
            break;
        case kVerbDelete:
            setup = curl.SetCustomRequest("DELETE");
            break;
        default:
            setup = curl.SetHttpGet(true);
            break;
        }
    }
    if (setup == CURLE_OK)
        setup = curl.SetUserAgent("Mozilla/1.22 (compatible; MSIE 10.0; Windows 3.1)");
    if (setup == CURLE_OK && (!store::clip(user).empty() || !store::clip(password).empty()))
        setup = curl.SetUserPwd(user, password);
    // A GET carries no body (libcurl would turn it into a POST).
    const bool plainGet = verb != kVerbPut && verb != kVerbPost && verb != kVerbDelete;
    if (setup == CURLE_OK)
        setup = plainGet && body ? CURLE_OK : curl.SetPostFields(body);
    if (setup != CURLE_OK) {
        if (outcome)
            outcome->code = setup;
        showTransportProblem(QStringLiteral("Не удалось установить параметры запроса !"));
        return std::nullopt;
    }

    // An answer longer than the limit is not received: refused at once when
    // its announced length passes it, else stopped as soon as it does.
    const std::size_t limit = settings.limits.maxAnswerBytes;
    curl.setResponseLimit(limit);
    // The announced length is only a shortcut: the sink enforces the limit
    // whatever this option achieves.
    if (limit != 0)
        static_cast<void>(curl.SetOptionOffT(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limit)));
    std::optional<std::string> response(std::in_place);
    const int result = curl.SendRequest(store::clip(url), &*response);
    if (outcome)
        outcome->code = result;
    if (result == CURLE_OK) {
        status = std::int32_t(curl.GetResponseCode());
        if ((answerMode == kAnswerOnError && status != 200) || answerMode == kAnswerAlways) {
            const QString text =
                declaresUtf8(*response) ? QString::fromUtf8(*response) : platform::fromCp1251(*response);
            showClosableMessage(QStringLiteral("Ответ сервиса"), QStringLiteral("Код ответа сервиса: ") +
                                                                     QString::number(status) +
                                                                     QStringLiteral("| ") + text);
        }
    } else {
        // The transport failed: whatever part of an answer came is no answer.
        response->clear();
        // A cancel is the user's own doing and needs no message.
        const bool tooLarge = curl.responseLimitExceeded() || result == CURLE_FILESIZE_EXCEEDED;
        if (answerMode != kAnswerSilent && tooLarge)
            showTransportProblem(QStringLiteral("Ответ сервиса больше допустимого размера (") +
                                 sizeText(limit) + QStringLiteral("), приём прерван."));
        else if (answerMode != kAnswerSilent && result != CURLE_ABORTED_BY_CALLBACK)
            showTransportProblem(QStringLiteral("Ошибка запроса: ") + QString::number(result) +
                                 QStringLiteral("| ") + QString::fromStdString(curl.StrError(result)));
    }
    curl.Kill();
    return response;
}

} // namespace vetis
