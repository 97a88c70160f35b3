// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/VetisSettings.h"

#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/FieldAccess.h"
#include "store/RecordText.h"

#include <QDir>
#include <QFileInfo>

namespace vetis {

bool isEntityGuid(std::string_view cp1251Guid)
{
    return store::clip(cp1251Guid).size() == kGuidLength;
}

int normalizedScale(int winsfont)
{
    return winsfont >= 0 && winsfont <= kMaxScale ? winsfont : kDefaultScale;
}

int scaleStep(int winsfont)
{
    // The default 100 % sits in the middle of the steps: values 1..3 are the
    // smaller sizes, 4..8 the larger ones.
    const int v = normalizedScale(winsfont);
    if (v == 0)
        return 4;
    return v <= 3 ? v : v + 1;
}

int scaleFontSize(int winsfont)
{
    return scaleStep(winsfont) + 7;
}

int scalePercent(int winsfont)
{
    static constexpr int kPercentOfStep[] = {70, 85, 90, 100, 110, 115, 130, 140, 150};
    return kPercentOfStep[scaleStep(winsfont) - 1];
}

namespace {

bool endsWithSeparator(const QString& folder)
{
    if (folder.endsWith(u'/'))
        return true;
#ifdef Q_OS_WIN
    return folder.endsWith(u'\\');
#else
    return false;
#endif
}

} // namespace

QString normalizedDumpFolder(const QString& folder)
{
    qsizetype begin = 0;
    while (begin < folder.size() && folder[begin] == u' ')
        ++begin;
    qsizetype end = folder.size();
    while (end > begin && folder[end - 1] == u' ')
        --end;
    QString result = folder.mid(begin, end - begin);
    if (!result.isEmpty() && !endsWithSeparator(result))
        result += QDir::separator();
    return result;
}

QString dumpFolderDialogStart(const QString& currentFolder)
{
    const QString trimmed = currentFolder.trimmed();
    if (!trimmed.isEmpty() && QFileInfo(trimmed).isDir())
        return trimmed;
    return QDir::toNativeSeparators(QDir::rootPath());
}

TlsSettings tlsSettingsOf(const store::VetisRecord& record)
{
    TlsSettings tls;
    tls.verify = record.BYTE_03 != 1;
    tls.caBundleFile = platform::fromCp1251(store::clip(store::ztextOf(record.STR250_01))).trimmed();
    return tls;
}

void setTlsSettings(store::VetisRecord& record, const TlsSettings& tls)
{
    record.BYTE_03 = tls.verify ? 0 : 1;
    store::setZText(record.STR250_01, platform::toCp1251(tls.caBundleFile.trimmed()));
}

store::VetisRecord clearedVetisRecord()
{
    store::VetisRecord r;
    store::clearRecordOf(store::vetisTable(), reinterpret_cast<char*>(&r));
    return r;
}

store::VetisRecord newVetisRecord(std::string_view key)
{
    store::VetisRecord r = clearedVetisRecord();
    store::setText(r.GUID, key);
    r.CDATE = platform::today();
    r.ANSWER = kNewRecordAnswer;
    r.PERIOD = kNewRecordPeriod;
    return r;
}

} // namespace vetis
