// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>
#include <QUrl>

// The program's help: the maker's help page when the build names one, else
// the page that ships inside the program.
namespace shell {

// The maker's help page (https) named at build time; empty when there is none.
QUrl makerHelpUrl();

// The page to show: the maker's, else the shipped page written into `folder`
// (replaced when it differs, so that a newer program shows its own help). An
// empty URL when the page cannot be written; `error` then says why.
QUrl helpPageUrl(const QString& folder, QString* error = nullptr);

} // namespace shell
