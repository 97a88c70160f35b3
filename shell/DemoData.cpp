// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/DemoData.h"

#include "framework/MessageBox.h"
#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "responses/ReferenceLookups.h"
#include "responses/VsdLoader.h"
#include "responses/WalkerAnswerReader.h"
#include "shell/DemoService.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Enterprise.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"
#include "store/tables/Vetis.h"
#include "store/tables/Vsd.h"
#include "vetis-sim/SimTypes.h"
#include "vetis/Exchange.h"
#include "vetis/RequestRecord.h"
#include "vetis/VetisAccessCheck.h"
#include "vetis/VetisSettings.h"

#include <QDir>
#include <QUuid>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace shell {

namespace {

// The VSD list as the window asks for it: packets of 1000.
constexpr int kDemoPacketSize = 1000;
// The service's VSDs were issued over the last weeks; the prepared folder
// holds those issued at least kDemoNewDays days ago, so that the first request
// of the last days' VSDs brings new ones.
constexpr int kDemoIssueSpanDays = 60;
constexpr int kDemoNewDays = 3;
// Receives of one packet before the preparation gives up on it.
constexpr int kDemoReceivesPerPacket = 10;
// VSDs given an application in process, and a rejected one.
constexpr int kDemoPendingVsds = 4;
constexpr int kDemoRejectedVsds = 3;

// Names for what the service might not give (Windows-1251 is converted on writing).
constexpr const char* kDemoEntityName = "ООО \"Заря\" (демо)";
constexpr const char* kDemoRemark = "Демонстрационный режим: учебный сервис Ветис.API внутри программы";

std::string cp1251(std::string_view utf8)
{
    return platform::utf8ToCp1251(utf8);
}

// What the user reads when the preparation fails: the messages the exchange
// or the loader gave, else the fallback.
QString failureText(const framework::RecordingPresenter& presenter, const QString& fallback)
{
    QString text = fallback;
    for (const framework::MessageRequest& shown : presenter.shown())
        text += u'|' + shown.text;
    return text;
}

// The access settings of the demo entity: what the service takes, the
// production contour (the process is pointed at the service), the window's
// defaults of a new record.
store::VetisRecord demoSettings(const DemoService& service)
{
    store::VetisRecord s = vetis::newVetisRecord(service.entityGuid());
    store::setZText(s.LOGIN, service.login());
    store::setZText(s.PASSWORD, service.password());
    store::setZText(s.APIKEY, service.apiKey());
    store::setZText(s.WEBLOGIN, "demo");
    store::setZText(s.REMARK, cp1251(kDemoRemark));
    s.TEST = 0;
    s.ANSWER = vetis::kNewRecordAnswer;
    s.PERIOD = vetis::kNewRecordPeriod;
    s.WINSFONT = static_cast<std::uint8_t>(vetis::kDefaultScale);
    return s;
}

// Submits the incoming VSD list of one packet; the application id, empty
// when the exchange failed.
std::string submitDemoList(vetis::ExchangeContext& context, const std::string& entity, int packet)
{
    const std::int32_t today = platform::today();
    vetis::RequestRecord request;
    request.setRequestCode(vetis::RequestCode::VetDocumentList);
    store::setText(request.VETISGUID, entity);
    request.COUNT = kDemoPacketSize;
    request.OFFSET = kDemoPacketSize * (packet - 1);
    request.DATE1 = today - kDemoIssueSpanDays;
    request.DATE2 = today - kDemoNewDays;
    store::setZText(request.P1, entity);
    store::setZText(request.P2, vetissim::known::kOwnEnterpriseGuid);
    store::setZText(request.P3, "INCOMING");
    if (!vetis::Exchange(request, context))
        return {};
    return std::string(store::clip(std::string_view(request.APPID, sizeof request.APPID)));
}

// Requests and stores every packet of the working enterprise's VSDs.
bool loadDemoVsds(const QString& folder, vetis::ExchangeContext& context, const std::string& entity,
                  framework::RecordingPresenter& presenter, DemoPreparation& out)
{
    store::Session work(folder);
    store::Session references(folder);
    // However the service counts, a packet number stays within reason.
    constexpr int kMaxPackets = 100;
    for (int packet = 1; packet <= kMaxPackets; ++packet) {
        std::string id = submitDemoList(context, entity, packet);
        if (id.empty()) {
            out.error = failureText(presenter, QStringLiteral("Сервис не принял запрос списка ВСД."));
            return false;
        }
        responses::VsdLoadOutcome outcome;
        for (int receive = 0; receive < kDemoReceivesPerPacket && !id.empty(); ++receive) {
            outcome = responses::loadVsdList(work, references, context, id, entity, presenter,
                                             [](const QString&) {});
            if (outcome.failed || !outcome.exchanged) {
                out.error = failureText(presenter, QStringLiteral("Список ВСД не загружен."));
                return false;
            }
        }
        if (outcome.appStatus != "COMPLETED") {
            out.error = failureText(presenter, QStringLiteral("Сервис не выполнил запрос списка ВСД."));
            return false;
        }
        out.vsdCount += outcome.stored.inserted + outcome.stored.updated + outcome.stored.skipped;
        if (outcome.count <= 0 || outcome.offset + outcome.count >= outcome.total)
            return true;
    }
    return true;
}

// The VSDs a clerk could repay (status "Оформлен"), in UUID order.
bool repayableVsds(store::TypedTable<store::VsdRecord>& vsds, std::vector<std::string>& out)
{
    vsds.clear();
    if (vsds.set("MVD:BYUUID", 0) != store::kOk)
        return false;
    int code = store::kOk;
    while ((code = vsds.next()) == store::kOk) {
        if (vsds.rec().CODSTATUS == 1)
            out.emplace_back(store::textOf(vsds.rec().UUID));
    }
    return code == store::kRecordNotFound;
}

// An application id that stays the same for the same VSD.
std::string demoApplicationId(const std::string& vsdUuid)
{
    static const QUuid kNamespace(QStringLiteral("6f1f3c2a-5d0e-4b7a-9c41-2e8d7a90b5c3"));
    return QUuid::createUuidV5(kNamespace, QString::fromStdString(vsdUuid))
        .toString(QUuid::WithoutBraces)
        .toStdString();
}

// A few VSDs with a repay or return in process and a few with a rejected
// one, as the work of the day before left them: one transaction.
bool markDemoApplications(const QString& folder, DemoPreparation& out)
{
    store::Session session(folder);
    store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
    std::vector<std::string> uuids;
    if (vsds.open() != store::kOk || !repayableVsds(vsds, uuids)) {
        out.error = QStringLiteral("Нет доступа к списку ВСД.");
        return false;
    }
    static const char* const kErrors[] = {
        "MERC13100: Указанный объём продукции превышает остаток по ВСД",
        "MERC13013: Площадка получателя не соответствует площадке, указанной в ВСД",
        "APLM0010: Внутренняя ошибка сервиса, повторите заявку позже",
    };
    store::Transaction transaction(session, {&vsds});
    if (transaction.start() != store::kOk) {
        out.error = QStringLiteral("Нет доступа к спискам БД для выполнения операции !");
        return false;
    }
    const int marked = std::min(static_cast<int>(uuids.size()), kDemoPendingVsds + kDemoRejectedVsds);
    for (int i = 0; i < marked; ++i) {
        const std::string& uuid = uuids[static_cast<std::size_t>(i)];
        vsds.clear();
        store::setText(vsds.rec().UUID, uuid);
        if (vsds.fetch("MVD:BYUUID") != store::kOk) {
            transaction.rollback();
            out.error = QStringLiteral("Не удалось отметить заявки ВСД.");
            return false;
        }
        store::VsdRecord& r = vsds.rec();
        store::setText(r.APPID, demoApplicationId(uuid));
        if (i < kDemoPendingVsds) {
            // The last of them is a return, the others are repays.
            r.CONDITION = i + 1 == kDemoPendingVsds ? 2 : 1;
            store::setZText(r.APPSTATUS, cp1251(i % 2 ? "ПРИНЯТА" : "В ОБРАБОТКЕ"));
            store::setZText(r.APPERROR, "");
        } else {
            r.CONDITION = 100;
            store::setZText(r.APPSTATUS, cp1251("ОТКЛОНЕНА"));
            store::setZText(
                r.APPERROR,
                cp1251(kErrors[static_cast<std::size_t>(i - kDemoPendingVsds) % std::size(kErrors)]));
        }
        if (vsds.put() != store::kOk) {
            transaction.rollback();
            out.error = QStringLiteral("Не удалось отметить заявки ВСД.");
            return false;
        }
    }
    if (transaction.commit() != store::kOk) {
        out.error = QStringLiteral("Не удалось отметить заявки ВСД.");
        return false;
    }
    return true;
}

// Adds the record in the buffer when `found` is false, else writes it back.
int addOrPut(store::Table& table, bool found)
{
    return found ? table.put() : table.add();
}

// The own entity, its enterprises (the first one the working enterprise) and
// its access settings: one transaction. Records the service gave keep what it
// said; missing ones get the demo's names.
int writeOwnEntity(store::Session& session, const store::VetisRecord& settings)
{
    const std::string entity(store::textOf(settings.GUID));
    store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
    store::TypedTable<store::EnterpriseRecord> enterprises(session, store::enterpriseTable());
    store::TypedTable<store::PlaceRecord> places(session, store::placeTable());
    store::TypedTable<store::VetisRecord> vetis(session, store::vetisTable());
    for (store::Table* table :
         {static_cast<store::Table*>(&entities), static_cast<store::Table*>(&enterprises),
          static_cast<store::Table*>(&places), static_cast<store::Table*>(&vetis)}) {
        if (const int code = table->open(); code != store::kOk)
            return code;
    }
    // The placeholders the window adds for an entity not yet entered.
    std::vector<std::string> placeholders;
    entities.clear();
    entities.rec().HOME = 1;
    int code = entities.set("MEN:BYHOME");
    while (code == store::kOk && (code = entities.next()) == store::kOk && entities.rec().HOME == 1) {
        if (!vetis::isEntityGuid(store::textOf(entities.rec().GUID)))
            placeholders.emplace_back(store::textOf(entities.rec().GUID));
    }
    if (code != store::kOk && code != store::kRecordNotFound)
        return code;

    store::Transaction transaction(session, {&entities, &enterprises, &places, &vetis});
    if (const int started = transaction.start(); started != store::kOk)
        return started;
    auto failed = [&](int rc) {
        transaction.rollback();
        return rc;
    };
    for (const std::string& guid : placeholders) {
        entities.clear();
        store::setText(entities.rec().GUID, guid);
        if (const int rc = entities.fetch("MEN:BYGUID"); rc != store::kOk)
            return failed(rc);
        if (const int rc = entities.deleteRecord(); rc != store::kOk)
            return failed(rc);
    }

    entities.clear();
    store::setText(entities.rec().GUID, entity);
    bool found = entities.fetch("MEN:BYGUID") == store::kOk;
    if (!found) {
        entities.clear();
        store::setText(entities.rec().GUID, entity);
        store::setText(entities.rec().NAME, cp1251(kDemoEntityName));
        entities.rec().CDATE = platform::today();
    }
    entities.rec().HOME = 1;
    if (const int rc = addOrPut(entities, found); rc != store::kOk)
        return failed(rc);

    const std::pair<const char*, const char*> own[] = {
        {vetissim::known::kOwnEnterpriseGuid, "Склад (демо)"},
        {vetissim::known::kOwnSecondEnterpriseGuid, "Магазин (демо)"},
    };
    for (const auto& [guid, name] : own) {
        enterprises.clear();
        store::setText(enterprises.rec().GUID, guid);
        if (enterprises.fetch("MEP:BYGUID") != store::kOk) {
            enterprises.clear();
            store::setText(enterprises.rec().GUID, guid);
            store::setText(enterprises.rec().NAME, cp1251(name));
            store::setText(enterprises.rec().OWNER, entity);
            enterprises.rec().TYPE = 1;
            if (const int rc = enterprises.add(); rc != store::kOk)
                return failed(rc);
        }
        places.clear();
        store::setText(places.rec().ENTITY, entity);
        store::setText(places.rec().ENTERPRISE, guid);
        found = places.fetch("MPL:BYENTITY") == store::kOk;
        if (!found) {
            places.clear();
            store::setText(places.rec().ENTITY, entity);
            store::setText(places.rec().ENTERPRISE, guid);
        }
        places.rec().MARK = guid == own[0].first ? 1 : 0;
        if (const int rc = addOrPut(places, found); rc != store::kOk)
            return failed(rc);
    }

    vetis.clear();
    store::setText(vetis.rec().GUID, entity);
    found = vetis.fetch("MVS:BYGUID") == store::kOk;
    vetis.rec() = settings;
    if (const int rc = addOrPut(vetis, found); rc != store::kOk)
        return failed(rc);
    return transaction.commit();
}

} // namespace

QString defaultDemoFolder(const QString& homeFolder)
{
    QString folder = homeFolder.isEmpty() ? QDir::homePath() : homeFolder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + QStringLiteral("Zanvo-demo/");
}

QString demoOfferQuestion()
{
    return QStringLiteral("В папке с БД программы нет данных Вашего хозяйствующего субъекта.||"
                          "Запустить программу в демонстрационном режиме ?|"
                          "Учебный сервис Ветис.API работает внутри программы, данные хранятся "
                          "в отдельной папке, Ваша папка останется без изменений.");
}

bool dataFolderHasOwnEntity(const QString& dataFolder)
{
    store::Session session(dataFolder, {}, store::Access::ReadOnly);
    store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
    if (entities.open() != store::kOk)
        return false;
    entities.clear();
    entities.rec().HOME = 1;
    if (entities.set("MEN:BYHOME") != store::kOk)
        return false;
    while (entities.next() == store::kOk && entities.rec().HOME == 1) {
        if (vetis::isEntityGuid(store::textOf(entities.rec().GUID)))
            return true;
    }
    return false;
}

DemoPreparation prepareDemoDataFolder(const QString& dataFolder, const DemoService& service)
{
    DemoPreparation out;
    if (dataFolderHasOwnEntity(dataFolder)) {
        out.ok = true;
        out.alreadyPrepared = true;
        return out;
    }
    if (!service.isRunning()) {
        out.error = QStringLiteral("Учебный сервис Ветис.API не запущен.");
        return out;
    }
    const QString folder = QDir(dataFolder).absolutePath() + u'/';
    if (!QDir().mkpath(folder + QStringLiteral("Base"))) {
        out.error = QStringLiteral("Нет доступа к папке ") + QDir::toNativeSeparators(folder);
        return out;
    }

    // Nothing of the preparation reaches the screen; what went wrong is told
    // once, by the caller.
    framework::RecordingPresenter presenter;
    const framework::ScopedThreadMessagePresenter quiet(&presenter);

    // The settings are offered to the exchange as they will be stored: they
    // are written last, with the own entity.
    const store::VetisRecord settings = demoSettings(service);
    vetis::EditedVetisSettings offered(settings);
    responses::WalkerAnswerReader reader;
    vetis::ExchangeContext context;
    context.settings = &offered;
    context.reader = &reader;
    const std::string entity = service.entityGuid();

    if (!loadDemoVsds(folder, context, entity, presenter, out))
        return out;
    if (!markDemoApplications(folder, out))
        return out;
    {
        // The own entity and its enterprises as the service describes them.
        store::Session references(folder);
        responses::ReferenceLookups lookups(references, context, entity);
        static_cast<void>(lookups.businessEntity(responses::LookupMode::None, true, entity));
        for (const char* enterprise :
             {vetissim::known::kOwnEnterpriseGuid, vetissim::known::kOwnSecondEnterpriseGuid})
            static_cast<void>(lookups.enterprise(responses::LookupMode::None, true, enterprise, entity));
    }
    store::Session session(folder);
    if (const int code = writeOwnEntity(session, settings); code != store::kOk) {
        out.error = code == store::kFileLocked
                        ? QStringLiteral("Нет доступа к спискам БД для выполнения операции !")
                        : QStringLiteral("Не удалось записать данные хозяйствующего субъекта (код ошибки ") +
                              QString::number(code) + QStringLiteral(").");
        out.vsdCount = 0;
        return out;
    }
    out.ok = true;
    return out;
}

} // namespace shell
