// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/ui/OwnEntity.h"

#include "framework/ErrorManager.h"
#include "platform/CodePage.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Entity.h"

namespace shell::ui {

QString readOwnEntityName(const QString& dataFolder, const QString& listFormatFile)
{
    // Showing a name changes nothing on disk: no table file is created, none
    // is upgraded or marked, and no journal or anchor file is made. The files
    // are made by whatever first writes to them.
    store::Session session(dataFolder, listFormatFile, store::Access::ReadOnly);
    store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
    if (const int code = entities.open(); code != store::kOk) {
        // A data folder whose entities were never written has no name to show.
        if (code == store::kFileNotFound)
            return {};
        // A damaged, foreign or unreachable file is the user's to know about;
        // it is never recreated over his data. The message is fatal: the
        // program ends after OK, so there is no answer to look at.
        static_cast<void>(framework::errorManager().report_for_file(framework::MessageId::FileOpenFailed,
                                                                    entities.filePath()));
        return {};
    }
    entities.clear();
    entities.rec().HOME = 1;
    QString name;
    if (entities.set("MEN:BYHOME") == store::kOk && entities.next() == store::kOk && entities.rec().HOME == 1)
        name = platform::fromCp1251(store::textOf(entities.rec().NAME));
    entities.close();
    return name;
}

} // namespace shell::ui
