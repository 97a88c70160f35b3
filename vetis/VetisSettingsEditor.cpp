// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/VetisSettingsEditor.h"

#include "framework/ErrorManager.h"
#include "framework/LastError.h"
#include "framework/MessageBox.h"
#include "platform/CodePage.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "vetis/VetisSettings.h"

namespace vetis {

namespace {

enum class Operation
{
    Add,
    Put,
    Remove,
};

std::string guidOf(const store::VetisRecord& r)
{
    return std::string(store::textOf(r.GUID));
}

framework::MessageId failureMessage(Operation operation)
{
    switch (operation) {
    case Operation::Add:
        return framework::MessageId::RecordAddFailed;
    case Operation::Put:
        return framework::MessageId::RecordPutFailed;
    case Operation::Remove:
        break;
    }
    return framework::MessageId::RecordDeleteFailed;
}

// The messages of a failed write are notifications: OK is their only answer.
void reportFailure(int code, Operation operation)
{
    framework::ErrorManager& em = framework::errorManager();
    const store::TableDef& table = store::vetisTable();
    if (code == store::kDuplicateKey) {
        static_cast<void>(em.report_with_text(framework::MessageId::DuplicateKey,
                                              QString::fromUtf8(table.primaryKey()->label)));
        return;
    }
    em.set_file_name(QString::fromUtf8(table.name));
    static_cast<void>(em.report(failureMessage(operation)));
}

} // namespace

VetisSettingsEditor::VetisSettingsEditor(VetisSettingsRepository& repository)
    : m_repository(repository)
    , m_record(clearedVetisRecord())
{}

VetisSettingsEditor::~VetisSettingsEditor()
{
    close();
}

void VetisSettingsEditor::open(std::string_view entityGuid)
{
    m_closed = false;
    m_storedKey.reset();
    m_readFailure = 0;
    const std::string key = isEntityGuid(entityGuid) ? std::string(store::clip(entityGuid))
                                                     : platform::utf8ToCp1251(kGuidPlaceholderUtf8);

    framework::clearLastError();
    if (std::optional<store::VetisRecord> found = m_repository.find(key)) {
        m_record = *found;
        m_storedKey = key;
    } else if (const framework::LastError& error = framework::lastError();
               error.code != 0 && error.code != store::kRecordNotFound) {
        // Not the same as no settings: a new record added now could stand
        // beside the one that was not read. The message is fatal (the program
        // ends after OK): there is no answer to look at.
        m_readFailure = error.code;
        m_record = newVetisRecord(key);
        static_cast<void>(framework::errorManager().report_for_file(framework::MessageId::FileOpenFailed,
                                                                    QString::fromStdString(error.fileName)));
    } else {
        m_record = newVetisRecord(key);
        const int code = m_repository.add(m_record);
        if (code == store::kOk)
            m_storedKey = key;
        else
            reportFailure(code, Operation::Add);
    }
    if (m_record.PERIOD == 0)
        m_record.PERIOD = kPeriodInsteadOfZero;
    m_record.WINSFONT = static_cast<std::uint8_t>(normalizedScale(m_record.WINSFONT));
}

bool VetisSettingsEditor::checkGuid() const
{
    if (isEntityGuid(store::textOf(m_record.GUID)))
        return true;
    framework::problemMessage(framework::messagePresenter(),
                              QStringLiteral("Указан неверный код IssuerID для хозяйствующего субъекта !"));
    return false;
}

ConfirmOutcome VetisSettingsEditor::confirm()
{
    if (!checkGuid())
        return ConfirmOutcome::BadGuid;
    const QString folder = platform::fromCp1251(store::ztextOf(m_record.DUMPPATH));
    store::setZText(m_record.DUMPPATH, platform::toCp1251(normalizedDumpFolder(folder)));

    // The read failure was reported when the window opened.
    m_lastWriteCode = m_readFailure != 0 ? m_readFailure : write();
    return m_lastWriteCode == store::kOk ? ConfirmOutcome::Written : ConfirmOutcome::WriteFailed;
}

int VetisSettingsEditor::write()
{
    const std::string key = guidOf(m_record);
    if (m_storedKey == key) {
        const int code = m_repository.put(m_record);
        if (code != store::kOk)
            reportFailure(code, Operation::Put);
        return code;
    }
    // Not stored yet, or the user typed another GUID: the record is added
    // under its new key first and only then leaves the old one, so a failure
    // never loses it.
    const int code = m_repository.add(m_record);
    if (code != store::kOk) {
        reportFailure(code, Operation::Add);
        return code;
    }
    if (m_storedKey) {
        const int removed = m_repository.remove(*m_storedKey);
        // A record that is already gone is what we wanted.
        if (removed != store::kOk && removed != store::kRecordNotFound)
            reportFailure(removed, Operation::Remove);
    }
    m_storedKey = key;
    return store::kOk;
}

void VetisSettingsEditor::close()
{
    if (m_closed)
        return;
    m_closed = true;
    if (m_storedKey && !isEntityGuid(*m_storedKey)) {
        const int removed = m_repository.remove(*m_storedKey);
        if (removed != store::kOk && removed != store::kRecordNotFound)
            reportFailure(removed, Operation::Remove);
        m_storedKey.reset();
    }
}

} // namespace vetis
