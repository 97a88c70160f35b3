// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/ui/OpenHelp.h"

#include "framework/MessageBox.h"
#include "shell/HelpPage.h"

#include <QDesktopServices>

namespace shell::ui {

void openHelp(const QString& folder, const std::function<bool(const QUrl&)>& open)
{
    QString error;
    const QUrl url = helpPageUrl(folder, &error);
    if (url.isEmpty()) {
        framework::problemMessage(framework::messagePresenter(),
                                  QStringLiteral("Не удалось подготовить справку: ") + error);
        return;
    }
    const bool opened = open ? open(url) : QDesktopServices::openUrl(url);
    if (!opened)
        framework::problemMessage(framework::messagePresenter(),
                                  QStringLiteral("Не удалось открыть справку в браузере.|") +
                                      url.toDisplayString(QUrl::PreferLocalFile));
}

} // namespace shell::ui
