// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/EntityCard.h"

#include "ui_EntityCard.h"

#include "framework/ErrorManager.h"
#include "framework/MessageBox.h"
#include "framework/ui/WindowPlacementUi.h"
#include "lists/ui/DialogFont.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "responses/WalkerAnswerReader.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "vetis/ExchangeRunner.h"
#include "vetis/StoredVetisSettings.h"
#include "vetis/ui/SetVetisApiDialog.h"
#include "workspace/VsdCardTexts.h"
#include "workspace/ui/EnterpriseCard.h"
#include "workspace/ui/ReferenceCardMode.h"

#include <QEventLoop>
#include <QHeaderView>
#include <QTableWidgetItem>

#include <any>
#include <optional>

namespace workspace::ui {

namespace {

const QString kEntityCardWindowId = QStringLiteral("Form_Entity");

QString entityFieldText(std::string_view cp1251)
{
    return platform::fromCp1251(store::withoutLeadingBlanks(store::clip(cp1251)));
}

template <std::size_t N>
void takeEntityText(char (&field)[N], const QString& text)
{
    store::setText(field, platform::toCp1251(text.trimmed()));
}

template <std::size_t N>
void takeEntityZText(char (&field)[N], const QString& text)
{
    store::setZText(field, platform::toCp1251(text.trimmed()));
}

std::optional<store::EntityRecord> storedEntity(store::Session& session, const std::string& guid)
{
    store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
    if (entities.open() != store::kOk)
        return std::nullopt;
    entities.clear();
    store::setText(entities.rec().GUID, store::clip(guid));
    if (entities.fetch("MEN:BYGUID") != store::kOk)
        return std::nullopt;
    return entities.rec();
}

} // namespace

responses::EntityLoadResult loadEntityOnWorker(const QString& dataFolder, const std::string& entityGuid)
{
    vetis::ExchangeRunner runner(dataFolder);
    QEventLoop loop;
    responses::EntityLoadResult result = responses::EntityLoadResult::ExchangeFailed;
    QObject::connect(&runner, &vetis::ExchangeRunner::finished, &loop,
                     [&](const vetis::ExchangeRunResult& run) {
                         if (const auto* r = std::any_cast<responses::EntityLoadResult>(&run.product))
                             result = *r;
                         loop.quit();
                     });
    const bool started = runner.start([entityGuid](vetis::ExchangeWorker& worker) {
        responses::WalkerAnswerReader reader;
        vetis::ExchangeContext context;
        context.reader = &reader;
        const responses::EntityLoadOutcome outcome = responses::loadEntityFromMercury(
            worker.session(), context, entityGuid,
            [&worker](vetis::RequestRecord& request, vetis::ExchangeContext& c) {
                return worker.exchange(request, c);
            });
        worker.setProduct(outcome.result);
        return outcome.result == responses::EntityLoadResult::Loaded;
    });
    if (!started)
        return result;
    loop.exec();
    return result;
}

EntityCardHooks defaultEntityCardHooks(store::Session& session, const QString& dataFolder)
{
    EntityCardHooks hooks;
    hooks.openAccessSettings = [&session](QWidget* parent, const std::string& guid) {
        vetis::StoredVetisSettings settings(session);
        static_cast<void>(vetis::ui::SetVetisAPI(settings, guid, parent));
    };
    hooks.openEnterprise = [&session](QWidget* parent, const std::string& guid) {
        return showStoredEnterprise(parent, session, guid);
    };
    hooks.loadFromMercury = [dataFolder](QWidget*, const std::string& guid) {
        return loadEntityOnWorker(dataFolder, guid);
    };
    return hooks;
}

EntityCard::EntityCard(store::Session& session, const store::EntityRecord& record, CardMode mode,
                       EntityCardHooks hooks, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<::Ui::EntityCard>())
    , m_session(session)
    , m_record(record)
    , m_mode(mode)
    , m_hooks(std::move(hooks))
{
    m_ui->setupUi(this);
    Ui::EntityCard& ui = *m_ui;
    ui.PLACES->setColumnCount(9);
    ui.PLACES->setHorizontalHeaderLabels(
        {QStringLiteral("Наименование"), QStringLiteral("Адрес"), QStringLiteral("Тип"),
         QStringLiteral("Статус"), QStringLiteral("Добавлена"), QStringLiteral("Изменена"),
         QStringLiteral("№"), QStringLiteral("Регистрация"), QStringLiteral("GUID")});
    ui.PLACES->verticalHeader()->hide();
    showRecord();
    showEnterprises();

    setWindowTitle(m_mode == CardMode::Insert   ? QStringLiteral("Добавить XC ?")
                   : m_mode == CardMode::Change ? QStringLiteral("Изменить XC ?")
                                                : QStringLiteral("Просмотр XC"));
    showCardMode(*this, *ui.BOK, *ui.BCANCEL, m_mode);
    // Fields that come from Mercury only are never typed in.
    for (QLineEdit* edit : {ui.COUNTRY_TEXT, ui.STATUS, ui.REGION_TEXT, ui.LOCALITY_TEXT, ui.CDATE, ui.EDATE})
        edit->setReadOnly(true);
    const bool changing = m_mode != CardMode::View;
    ui.BACCESS->setEnabled(changing);
    ui.BWORK->setEnabled(changing);
    // Only the user's own entity is loaded from Mercury.
    ui.BLOAD->setEnabled(changing && m_record.HOME != 0);

    connect(ui.BOK, &QPushButton::clicked, this, &EntityCard::save);
    connect(ui.BCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui.BACCESS, &QPushButton::clicked, this, &EntityCard::openAccessSettings);
    connect(ui.BWORK, &QPushButton::clicked, this, &EntityCard::chooseWorking);
    connect(ui.BLOAD, &QPushButton::clicked, this, &EntityCard::loadFromMercury);
    connect(ui.BPLACE, &QPushButton::clicked, this, &EntityCard::openEnterprise);
    connect(ui.PLACES, &QTableWidget::cellDoubleClicked, this, &EntityCard::openEnterprise);
    lists::ui::useUiFontSize(*this);
    adjustSize();
    framework::ui::restoreWindowPlacement(*this, kEntityCardWindowId);
}

EntityCard::~EntityCard() = default;

void EntityCard::showRecord()
{
    const store::EntityRecord& r = m_record;
    Ui::EntityCard& ui = *m_ui;
    const PlaceNames place =
        placeNames(m_session, store::textOf(r.COUNTRY), store::textOf(r.REGION), store::textOf(r.LOCALITY));
    ui.GUID->setText(entityFieldText(store::textOf(r.GUID)));
    ui.INN->setText(entityFieldText(store::ztextOf(r.INN)));
    ui.KPP->setText(entityFieldText(store::ztextOf(r.KPP)));
    ui.NAME->setText(entityFieldText(store::textOf(r.NAME)));
    ui.ADRVIEW->setText(entityFieldText(store::ztextOf(r.ADRVIEW)));
    ui.FULLNAME->setText(entityFieldText(store::ztextOf(r.FULLNAME)));
    ui.REMARK->setText(entityFieldText(store::ztextOf(r.REMARK)));
    ui.ADDINFO->setText(entityFieldText(store::ztextOf(r.ADDINFO)));
    ui.COUNTRY_TEXT->setText(place.country);
    ui.STATUS->setText(QString::number(r.STATUS));
    ui.REGION_TEXT->setText(place.region);
    ui.LOCALITY_TEXT->setText(place.locality);
    ui.OGRN->setText(entityFieldText(store::ztextOf(r.OGRN)));
    ui.CODE->setText(entityFieldText(store::ztextOf(r.CODE)));
    ui.CDATE->setText(platform::formatDay(r.CDATE));
    ui.EDATE->setText(platform::formatDay(r.EDATE));
}

void EntityCard::showEnterprises()
{
    QTableWidget& table = *m_ui->PLACES;
    const int current = currentEnterprise();
    const std::string keep =
        current >= 0 ? m_enterprises[static_cast<std::size_t>(current)].guid : std::string();
    m_enterprises = entityEnterprises(m_session, store::textOf(m_record.GUID));
    table.setRowCount(static_cast<int>(m_enterprises.size()));
    int select = m_enterprises.empty() ? -1 : 0;
    for (std::size_t i = 0; i < m_enterprises.size(); ++i) {
        const EntityEnterpriseRow& e = m_enterprises[i];
        const QStringList cells = {e.name,
                                   e.address,
                                   e.type,
                                   QString::number(e.status),
                                   platform::formatDay(e.added),
                                   platform::formatDay(e.changed),
                                   e.number,
                                   e.registration,
                                   platform::fromCp1251(e.guid)};
        const int row = static_cast<int>(i);
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (e.working) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            table.setItem(row, column, item);
        }
        if (!keep.empty() && e.guid == keep)
            select = row;
    }
    if (select >= 0)
        table.selectRow(select);
    m_ui->BPLACE->setEnabled(!m_enterprises.empty());
    m_ui->BWORK->setEnabled(m_mode != CardMode::View && !m_enterprises.empty());
}

int EntityCard::currentEnterprise() const
{
    const int row = m_ui->PLACES->currentRow();
    return row >= 0 && row < static_cast<int>(m_enterprises.size()) ? row : -1;
}

store::EntityRecord EntityCard::recordShown() const
{
    store::EntityRecord r = m_record;
    if (m_mode == CardMode::View)
        return r;
    const Ui::EntityCard& ui = *m_ui;
    takeEntityText(r.GUID, ui.GUID->text());
    takeEntityZText(r.INN, ui.INN->text());
    takeEntityZText(r.KPP, ui.KPP->text());
    takeEntityText(r.NAME, ui.NAME->text());
    takeEntityZText(r.ADRVIEW, ui.ADRVIEW->text());
    takeEntityZText(r.FULLNAME, ui.FULLNAME->text());
    takeEntityZText(r.REMARK, ui.REMARK->text());
    takeEntityZText(r.ADDINFO, ui.ADDINFO->text());
    takeEntityZText(r.OGRN, ui.OGRN->text());
    takeEntityZText(r.CODE, ui.CODE->text());
    return r;
}

void EntityCard::openAccessSettings()
{
    const store::EntityRecord shown = recordShown();
    if (!allowAccessSettings(shown) || !m_hooks.openAccessSettings)
        return;
    m_hooks.openAccessSettings(this, std::string(store::clip(store::textOf(shown.GUID))));
}

void EntityCard::chooseWorking()
{
    const int row = currentEnterprise();
    if (m_mode == CardMode::View || row < 0)
        return;
    if (chooseWorkingEnterprise(m_session, store::textOf(m_record.GUID),
                                m_enterprises[static_cast<std::size_t>(row)].guid))
        showEnterprises();
}

void EntityCard::loadFromMercury()
{
    if (m_mode == CardMode::View || m_record.HOME == 0 || !m_hooks.loadFromMercury)
        return;
    framework::MessagePresenter& presenter = framework::messagePresenter();
    const std::string guid(store::clip(store::textOf(m_record.GUID)));
    if (guid.size() != 36) {
        framework::problemMessage(
            presenter, QStringLiteral("Указан неверный код IssuerID для хозяйствующего субъекта !"));
        return;
    }
    if (!framework::questionMessage(
            presenter,
            QStringLiteral("Получить по коду IssuerID данные текущего ХС и его торговых площадок ?")))
        return;
    setEnabled(false);
    const responses::EntityLoadResult result = m_hooks.loadFromMercury(this, guid);
    setEnabled(true);
    switch (result) {
    case responses::EntityLoadResult::Loaded:
        if (const std::optional<store::EntityRecord> stored = storedEntity(m_session, guid))
            m_record = *stored;
        showRecord();
        showEnterprises();
        break;
    case responses::EntityLoadResult::NoGuid:
        framework::problemMessage(
            presenter, QStringLiteral("Указан неверный код IssuerID для хозяйствующего субъекта !"));
        break;
    case responses::EntityLoadResult::NoAccess:
        framework::informationMessage(presenter,
                                      QStringLiteral("Нет доступа к спискам БД для выполнения операции !"));
        break;
    case responses::EntityLoadResult::WriteFailed:
        framework::informationMessage(presenter,
                                      QStringLiteral("Не удалось выполнить операцию изменения данных !"));
        break;
    case responses::EntityLoadResult::NotFound:
        framework::informationMessage(
            presenter,
            QStringLiteral("В АИС «Меркурий» не найден хозяйствующий субъект с этим кодом IssuerID !"));
        break;
    case responses::EntityLoadResult::ExchangeFailed:
        break; // the exchange has told why
    }
}

void EntityCard::openEnterprise()
{
    const int row = currentEnterprise();
    if (row < 0 || !m_hooks.openEnterprise)
        return;
    if (!m_hooks.openEnterprise(this, m_enterprises[static_cast<std::size_t>(row)].guid))
        framework::informationMessage(framework::messagePresenter(),
                                      QStringLiteral("В справочник не загружены данные о площадке !"));
}

void EntityCard::save()
{
    if (m_mode == CardMode::View)
        return;
    const store::EntityRecord shown = recordShown();
    store::TypedTable<store::EntityRecord> entities(m_session, store::entityTable());
    int rc = entities.open();
    if (rc == store::kOk) {
        entities.clear();
        store::setText(entities.rec().GUID, store::textOf(m_record.GUID));
        rc = entities.fetch("MEN:BYGUID");
    }
    if (rc == store::kOk) {
        entities.rec() = shown;
        rc = entities.put();
    }
    if (rc != store::kOk) {
        framework::ErrorManager& em = framework::errorManager();
        em.set_file_name(entities.filePath());
        static_cast<void>(em.report(framework::MessageId::RecordPutFailed));
        return; // the card stays open
    }
    m_record = shown;
    accept();
}

void EntityCard::done(int result)
{
    framework::ui::saveWindowPlacement(*this, kEntityCardWindowId);
    QDialog::done(result);
}

EntityCardResult runEntityCard(QWidget* parent, store::Session& session, const std::string& /*ownEntityGuid*/,
                               const std::string& entityGuid, bool change, const EntityCardHooks* hooks)
{
    if (!isGuid(entityGuid) && !change)
        return EntityCardResult::NoGuid;
    const std::optional<store::EntityRecord> record = storedEntity(session, entityGuid);
    if (!record)
        return EntityCardResult::NotStored;
    EntityCard card(session, *record, change ? CardMode::Change : CardMode::View,
                    hooks ? *hooks : defaultEntityCardHooks(session), parent);
    return card.exec() == QDialog::Accepted ? EntityCardResult::Saved : EntityCardResult::Closed;
}

bool openEntityCard(QWidget* parent, store::Session& session, const std::string& ownEntityGuid,
                    const std::string& entityGuid, bool change)
{
    return runEntityCard(parent, session, ownEntityGuid, entityGuid, change) == EntityCardResult::Saved;
}

} // namespace workspace::ui
