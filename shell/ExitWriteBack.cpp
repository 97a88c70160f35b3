// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/ExitWriteBack.h"

#include "framework/MessageBox.h"
#include "framework/ProcessSettings.h"
#include "lists/ListFormatStore.h"
#include "store/Session.h"

namespace shell {

void writeBackChangedListFormats()
{
    store::Session session(framework::process::dataFolder(), framework::process::listFormatFile());
    (void)lists::writeBackListFormats(session, framework::messagePresenter());
}

} // namespace shell
