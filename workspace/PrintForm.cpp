// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/PrintForm.h"

#include "framework/ErrorManager.h"
#include "framework/LastError.h"
#include "framework/MessageBox.h"
#include "framework/ProcessSettings.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/tables/Vetis.h"
#include "vetis/Endpoints.h"
#include "vetis/HttpDownload.h"
#include "vetis/PostRequest.h"
#include "vetis/StoredVetisSettings.h"
#include "vetis/VetisSettings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <optional>

namespace workspace {

namespace {

// What every PDF document begins with.
constexpr char kPdfSignature[] = "%PDF-";

void showPrintProblem(const QString& text)
{
    framework::problemMessage(framework::messagePresenter(), text, true);
}

// The temporary export folder of the process, with a trailing '/'; the
// system's temporary folder when start-up has set none.
QString exportFolder()
{
    QString folder = framework::process::temporaryExportFolder();
    if (folder.isEmpty())
        folder = QDir::tempPath();
    if (!folder.endsWith(u'/') && !folder.endsWith(u'\\'))
        folder += u'/';
    return folder;
}

// A new GUID text of 36 characters, as the export files are named.
QString newFileGuid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

bool startsAsPdf(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(sizeof kPdfSignature - 1);
    return head == QByteArray(kPdfSignature);
}

// The settings of the entity, a cleared record when none are stored, or
// nothing when the settings file cannot be read (the user has been told).
std::optional<store::VetisRecord> settingsOf(store::Session& session, std::string_view entityGuid)
{
    vetis::StoredVetisSettings repository(session);
    framework::clearLastError();
    if (std::optional<store::VetisRecord> found = repository.find(store::clip(entityGuid)))
        return found;
    if (const framework::LastError& error = framework::lastError();
        error.code != 0 && error.code != store::kRecordNotFound) {
        // A settings file that cannot be read is not the same as no settings.
        static_cast<void>(framework::errorManager().report_for_file(framework::MessageId::FileOpenFailed,
                                                                    QString::fromStdString(error.fileName)));
        return std::nullopt;
    }
    return vetis::clearedVetisRecord();
}

} // namespace

std::string printFormUrl(int testFlag, std::string_view vsdUuid)
{
    const std::string_view uuid = store::clip(vsdUuid);
    const QByteArray encoded =
        QByteArray(uuid.data(), static_cast<qsizetype>(uuid.size())).toPercentEncoding();
    return vetis::printFormBase(testFlag) +
           "?_language=ru&_action=printVetDocumentByUuid&uuid=" + encoded.toStdString();
}

QString noAccessSettingsText()
{
    return QStringLiteral("Нет данных для доступа к системе Меркурий через интерфейс Ветис.API !");
}

QString noVsdNumberText()
{
    return QStringLiteral("Нет данных о номере ВСД для запроса печатной формы через интерфейс Ветис.API !");
}

QString notPdfText()
{
    return QStringLiteral("Вместо печатной формы ВСД сервис Меркурий прислал не PDF документ !|"
                          "Возможно, неверно указаны логин или пароль доступа к Ветис.API.");
}

QString downloadPrintForm(store::Session& session, std::string_view ownEntityGuid, std::string_view vsdUuid,
                          vetis::TransferControl* control)
{
    // 1. The access settings of the own entity; none stored is an empty record.
    const std::optional<store::VetisRecord> settings = settingsOf(session, ownEntityGuid);
    if (!settings)
        return {};
    // 2. and 3. Nothing goes out without settings and a VSD number.
    if (!vetis::isEntityGuid(store::textOf(settings->GUID))) {
        showPrintProblem(noAccessSettingsText());
        return {};
    }
    const std::string_view uuid = store::clip(vsdUuid);
    if (uuid.size() != vetis::kGuidLength) {
        showPrintProblem(noVsdNumberText());
        return {};
    }

    // 4. A new file in the temporary export folder; a file of that name left
    // over is deleted first.
    const QString target = exportFolder() + newFileGuid() + QStringLiteral(".pdf");
    const QString shownName = QDir::toNativeSeparators(target);
    if (QFileInfo::exists(target))
        QFile::remove(target);
    if (QFileInfo::exists(target)) {
        showPrintProblem(QStringLiteral("Нет доступа к файлу: ") + shownName);
        return {};
    }

    // 5. The download, with the entity's credentials and error display.
    const std::string url = printFormUrl(settings->TEST, uuid);
    const vetis::TransferOutcome outcome =
        vetis::DownloadToFile(target, url, store::ztextOf(settings->LOGIN),
                              store::ztextOf(settings->PASSWORD), settings->ANSWER != vetis::kAnswerSilent,
                              control, vetis::TransportSettings(vetis::tlsSettingsOf(*settings)));
    // 7. A failed download has told the user what its show-errors setting asks for.
    if (!outcome.ok())
        return {};
    // 6. The file must be there, and be a PDF document: a login page that
    // came instead is not opened.
    if (!QFileInfo::exists(target)) {
        showPrintProblem(QStringLiteral("Нет файла с PDF отчётом: ") + shownName);
        return {};
    }
    if (!startsAsPdf(target)) {
        QFile::remove(target);
        showPrintProblem(notPdfText());
        return {};
    }
    return target;
}

} // namespace workspace
