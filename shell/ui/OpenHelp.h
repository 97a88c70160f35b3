// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace shell::ui {

// Opens the program's help in the default browser ("Справка", F1): the
// maker's page when the build names one, else the page shipped with the
// program, written into `folder`. A failure is told to the user. `open`
// stands in for the desktop's browser in tests.
void openHelp(const QString& folder, const std::function<bool(const QUrl&)>& open = {});

} // namespace shell::ui
