// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli export-register --data DIR --guid ENTITY [--from yyyy-mm-dd --to
// yyyy-mm-dd] [--status N] OUT.xlsx: writes the register of incoming VSDs
// ("Реестр ВСД") of the entity's working enterprise (its first enterprise
// marked in m_Place) to OUT.xlsx, as the main window's "Excel" does for its
// selection: here the selection is every VSD of the enterprise, of the
// period when one is given and of status N (1..4) when that is given. Only
// reads the tables. Prints the number of VSDs written; messages go to stderr.
#include "cli/Command.h"

#include "cli/StoreMessages.h"
#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Entity.h"
#include "store/tables/Vsd.h"
#include "workspace/OwnEntity.h"
#include "workspace/SearchMask.h"
#include "workspace/VsdListScope.h"
#include "workspace/VsdRegisterExport.h"

#include <QUuid>

#include <charconv>

namespace cli {

namespace {

void reportRegisterMessages(const framework::RecordingPresenter& presenter)
{
    for (const framework::MessageRequest& shown : presenter.shown()) {
        QString text = shown.text;
        text.replace(u'|', u'\n');
        fail(text.toStdString());
    }
}

} // namespace

int runExportRegister(std::span<const std::string> words)
{
    const Command& self = command("export-register");
    Arguments args;
    std::string error;
    if (!parseArguments(words, {"--data", "--guid", "--from", "--to", "--status"}, {}, args, error))
        return usageError(self, error);
    if (args.positional.size() != 1)
        return usageError(self, "one output file OUT.xlsx is required");
    const QString data = QString::fromLocal8Bit(args.option("--data"));
    if (data.isEmpty())
        return usageError(self, "--data DIR is required");
    const std::string entity = args.option("--guid");
    if (entity.size() != 36 || QUuid::fromString(QString::fromStdString(entity)).isNull())
        return usageError(self, "--guid takes the GUID of the business entity");

    workspace::VsdListScope scope;
    scope.entity = entity;
    const bool hasFrom = args.options.count("--from") > 0;
    const bool hasTo = args.options.count("--to") > 0;
    if (hasFrom || hasTo) {
        scope.from = platform::dayFromIso(args.option("--from"));
        scope.to = platform::dayFromIso(args.option("--to"));
        if (scope.from == 0 || scope.to == 0 || args.option("--from").size() != 10 ||
            args.option("--to").size() != 10 || scope.to < scope.from)
            return usageError(self, "--from and --to take dates yyyy-mm-dd, the first not after the second");
    }
    scope.periodOn = hasFrom;
    if (args.options.count("--status")) {
        const std::string text = args.option("--status");
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), scope.status);
        if (ec != std::errc() || end != text.data() + text.size() || scope.status < 1 || scope.status > 4)
            return usageError(self, "--status takes a status code from 1 to 4");
    }

    // The register only reads: nothing is created, upgraded or changed.
    store::Session session(data, {}, store::Access::ReadOnly);
    store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
    if (entities.open() != store::kOk) {
        fail(describeLastError(store::entityTable()));
        return kExitFailure;
    }
    entities.clear();
    store::setText(entities.rec().GUID, entity);
    if (entities.fetch("MEN:BYGUID") != store::kOk) {
        fail("no business entity " + entity + " in m_Entity");
        return kExitFailure;
    }
    workspace::RegisterHeading heading;
    heading.entityName = platform::fromCp1251(store::textOf(entities.rec().NAME)).trimmed();
    for (const workspace::EnterpriseChoice& e : workspace::enterprisesOf(session, entity))
        if (e.marked) {
            scope.enterprise = e.guid;
            heading.enterpriseName = e.name;
            break;
        }
    if (scope.enterprise.empty()) {
        fail("the entity " + entity + " has no working enterprise (MPL:MARK = 1 in m_Place)");
        return kExitFailure;
    }

    store::Table vsds(session, store::vsdTable());
    if (vsds.open() != store::kOk) {
        fail(describeLastError(store::vsdTable()));
        return kExitFailure;
    }
    std::vector<std::string> uuids;
    if (workspace::forEachVsdInScope(vsds, scope, workspace::SearchMask(), [&uuids](const std::string& uuid) {
            uuids.push_back(uuid);
        }) != store::kOk) {
        fail(describeLastError(store::vsdTable()));
        return kExitFailure;
    }

    framework::RecordingPresenter presenter;
    framework::ScopedThreadMessagePresenter scoped(&presenter);
    const QString file = QString::fromLocal8Bit(args.positional.front());
    if (!workspace::writeVsdRegister(session, uuids, heading, file)) {
        reportRegisterMessages(presenter);
        return kExitFailure;
    }
    out("register: " + std::to_string(uuids.size()) + " VSDs\n");
    return kExitOk;
}

} // namespace cli
