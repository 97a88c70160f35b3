// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli xml-import TABLE FILE.xml --data DIR: adds the records of an XML
// file written by xml-export to the table, in one transaction. The whole file
// is checked before anything is written; a file that is not the XML of this
// table, a value that does not fit its field, or a record the table refuses
// (a key that is already there) leaves the table as it was.
#include "cli/Command.h"

#include "cli/StoreMessages.h"
#include "cli/TableXml.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/AllTables.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstring>

namespace cli {

namespace {
// Larger files are refused before they are read.
constexpr qint64 kMaxImportBytes = qint64{1} << 31;
} // namespace

int runXmlImport(std::span<const std::string> words)
{
    const Command& self = command("xml-import");
    Arguments args;
    std::string error;
    if (!parseArguments(words, {"--data"}, {}, args, error))
        return usageError(self, error);
    if (args.positional.size() != 2)
        return usageError(self, "a table name and an XML file are required");
    const QString data = QString::fromLocal8Bit(args.option("--data"));
    if (data.isEmpty())
        return usageError(self, "--data DIR is required");
    const store::TableDef* def = store::tableByName(args.positional[0]);
    if (!def) {
        fail("no table named " + args.positional[0] + " (see zanvo-cli tables)");
        return kExitUsage;
    }
    if (def->storage == store::Storage::SharedMemory || def->storage == store::Storage::ThreadMemory) {
        fail(std::string(def->name) + " lives in the program's memory only: it cannot be imported");
        return kExitFailure;
    }

    const std::string fileName = args.positional[1];
    QFile file(QString::fromLocal8Bit(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        fail(fileName + ": " + file.errorString().toStdString());
        return kExitFailure;
    }
    if (file.size() > kMaxImportBytes) {
        fail(fileName + ": the file is larger than 2 GiB");
        return kExitFailure;
    }
    const QByteArray xml = file.readAll();
    std::vector<char> records;
    if (!readTableXml(*def, std::string_view(xml.constData(), static_cast<std::size_t>(xml.size())), records,
                      error)) {
        fail(fileName + ": " + error + "; nothing was imported");
        return kExitFailure;
    }

    if (def->storage != store::Storage::ListFormat && !QDir().mkpath(data + QStringLiteral("/Base"))) {
        fail("cannot create the folder " + (data + QStringLiteral("/Base")).toStdString());
        return kExitFailure;
    }
    store::Session session(data);
    store::Table table(session, *def);
    if (table.open() != store::kOk) {
        fail(describeLastError(*def));
        return kExitFailure;
    }
    store::Transaction transaction(session, {&table},
                                   def->storage == store::Storage::ListFormat
                                       ? store::kListFormatLockTimeoutSeconds
                                       : store::kDataLockTimeoutSeconds);
    if (transaction.start() != store::kOk) {
        fail(describeLastError(*def));
        return kExitFailure;
    }
    const std::size_t count = records.size() / def->recordLength;
    for (std::size_t i = 0; i < count; ++i) {
        std::memcpy(table.data(), records.data() + i * def->recordLength, def->recordLength);
        if (table.add() != store::kOk) {
            const std::string reason = describeLastError(*def);
            transaction.rollback();
            fail(fileName + ": record " + std::to_string(i + 1) + ": " + reason + "; nothing was imported");
            return kExitFailure;
        }
    }
    if (transaction.commit() != store::kOk) {
        fail(describeLastError(*def) + "; nothing was imported");
        return kExitFailure;
    }
    out(std::to_string(count) + " records imported into " + std::string(def->name) + "\n");
    return kExitOk;
}

} // namespace cli
