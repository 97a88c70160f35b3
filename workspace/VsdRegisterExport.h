// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace store {
class Session;
}

// The register of incoming VSDs ("Реестр ВСД"): an XLSX workbook of the
// selected VSDs in a fixed layout of 51 columns in 17 groups, with the own
// entity and enterprise above them and the count of the selection below.
namespace workspace {

// Called with the number of selected entries done and their total: after
// every 10th entry and once at the end. A window moves its progress bar and
// lets its events run.
using RegisterProgress = std::function<void(int done, int total)>;

// What the workbook holds besides the VSDs.
struct RegisterHeading
{
    QString entityName;     // after "ХС: "
    QString enterpriseName; // after "Площадка: "
};

// The main window's "Excel": writes the register of the VSDs `uuids`
// (Windows-1251 bytes as m_VSD keeps them, in the order of the selection) to
// a new file in the temporary export folder (a new GUID + ".xlsx"), read
// through `session` (a session of the calling thread that holds no
// transaction). A selected VSD that is no longer stored gets no row but is
// counted in the totals. Runs on the caller's thread; touches no widget.
//
// Returns the full path of the finished workbook, which the caller opens
// with the program the desktop associates with it; or an empty text, the
// user having been told why through the message presenter of the calling
// thread (a file that cannot be replaced, a workbook libxlsxwriter could not
// finish, with its reason).
QString exportVsdRegister(store::Session& session, const std::vector<std::string>& uuids,
                          const RegisterHeading& heading, const RegisterProgress& progress = {});

// The same register written to `file` (an existing file is replaced). False
// after telling the user why, as above; a workbook that could not be
// finished is removed.
[[nodiscard]] bool writeVsdRegister(store::Session& session, const std::vector<std::string>& uuids,
                                    const RegisterHeading& heading, const QString& file,
                                    const RegisterProgress& progress = {});

// The figures of the last register written on this thread: the formats the
// workbook holds beyond libxlsxwriter's defaults and the distinct attribute
// sets its cells asked for. A benchmark prints them.
struct RegisterFormatCount
{
    std::size_t workbookFormats = 0;
    std::size_t attributeSets = 0;
};
RegisterFormatCount lastRegisterFormatCount();

// The messages of the export.
QString noFileAccessText(const QString& path); // "Нет доступа к файлу: " + path
QString missingWorkbookText(); // "Отсутствует файл XLSX для выполнения операции !"
QString unfinishedWorkbookText(const QString& path, const QString& reason);

} // namespace workspace
