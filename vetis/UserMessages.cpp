// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/UserMessages.h"

namespace vetis {

void showClosableMessage(const QString& caption, const QString& text, framework::MessageIcon icon)
{
    framework::MessageRequest request;
    request.caption = caption;
    request.text = text;
    request.icon = icon;
    request.customButtons = {QStringLiteral("&1. Закрыть")};
    framework::showNotice(framework::messagePresenter(), request);
}

void showTransportProblem(const QString& text)
{
    showClosableMessage(QStringLiteral("У нас проблема ..."), text);
}

} // namespace vetis
