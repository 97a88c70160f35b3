// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/HttpDownload.h"

#include "store/RecordText.h"
#include "vetis/CurlHttpClass.h"
#include "vetis/RequestRecord.h"
#include "vetis/UserMessages.h"

#include <QFile>

namespace vetis {

namespace {

// The download object of this procedure: its progress is shown in the
// caller's control as a percentage, or in thousands of bytes when the size
// is not known.
class FileDownload final : public TCurlHttpClass
{
public:
    explicit FileDownload(TransferControl* control) { setTransferControl(control); }

    int OnProgress(double expected, double received, double, double) override
    {
        TransferControl* control = transferControl();
        if (!control || received <= 0)
            return 0;
        const double value = expected > 0 ? received * 100 / expected : received / 1000;
        control->setProgress(int(value));
        return 0;
    }
};

} // namespace

bool TransferOutcome::cancelled() const
{
    return code == CURLE_ABORTED_BY_CALLBACK;
}

TransferOutcome DownloadToFile(const QString& target, std::string_view url, std::string_view user,
                               std::string_view password, bool showErrors, TransferControl* control,
                               const TransportSettings& settings)
{
    if (control)
        control->setProgress(0);
    FileDownload curl(control);
    int result = curl.Init();
    if (result == CURLE_OK)
        result = applyTransportSettings(curl, settings);
    if (result == CURLE_OK)
        result = curl.SetUserAgent("Mozilla/1.22 (compatible; MSIE 10.0; Windows 3.1)");
    if (result == CURLE_OK && (!store::clip(user).empty() || !store::clip(password).empty()))
        result = curl.SetUserPwd(user, password);
    // An error page of the server is not the file asked for.
    if (result == CURLE_OK)
        result = curl.SetOption(CURLOPT_FAILONERROR, 1L);
    if (result == CURLE_OK) {
        result = curl.ReadFile(url, target);
        // What a failed transfer left in the target is not the file: remove it.
        if (result != CURLE_OK && curl.readFileTouchedTarget())
            QFile::remove(target);
    }
    const TransferOutcome outcome{result};
    if (!outcome.ok() && !outcome.cancelled() && showErrors) {
        const QString text =
            result == CURLE_WRITE_ERROR
                ? QStringLiteral("Ошибка записи файла при загрузке по протоколу HTTP:|") + target
                : QStringLiteral("Ошибка загрузки файла по протоколу HTTP:|") +
                      QString::fromStdString(curl.StrError(result));
        showTransportProblem(text);
    }
    return outcome;
}

} // namespace vetis
