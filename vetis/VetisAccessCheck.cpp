// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/VetisAccessCheck.h"

#include "framework/LastError.h"
#include "platform/CodePage.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"

#include <curl/curl.h>

namespace vetis {

namespace {

[[nodiscard]] int refuseChange()
{
    framework::setLastError(store::kAccessDenied, "Base/mv01.dat");
    return store::kAccessDenied;
}

} // namespace

EditedVetisSettings::EditedVetisSettings(const store::VetisRecord& record)
    : m_record(record)
{}

std::optional<store::VetisRecord> EditedVetisSettings::find(std::string_view guid)
{
    if (store::clip(guid) != store::textOf(m_record.GUID))
        return std::nullopt;
    return m_record;
}

int EditedVetisSettings::add(const store::VetisRecord&)
{
    return refuseChange();
}

int EditedVetisSettings::put(const store::VetisRecord&)
{
    return refuseChange();
}

int EditedVetisSettings::remove(std::string_view)
{
    return refuseChange();
}

RequestRecord accessCheckRequest(const store::VetisRecord& settings)
{
    RequestRecord request;
    // The unit dictionary (DictionaryService, getUnitListRequest): read-only,
    // small, and answered to every registered user.
    request.setRequestCode(RequestCode::UnitByGuidOrList);
    request.COUNT = 1;
    request.OFFSET = 0;
    store::setText(request.VETISGUID, store::textOf(settings.GUID));
    return request;
}

ExchangeJob accessCheckJob(const store::VetisRecord& settings)
{
    return [settings](ExchangeWorker& worker) {
        EditedVetisSettings edited(settings);
        RequestRecord request = accessCheckRequest(settings);
        ExchangeContext context;
        context.settings = &edited;
        // The request references no list, so the exchange reads the answer as
        // an application; a dictionary list holds none, and the exchange
        // calls even a sound one no success. What it refused it says in
        // APPERROR (an answer that is no sound envelope, a Fault), which a
        // dictionary answer leaves blank.
        static_cast<void>(worker.exchange(request, context));
        return request.RCODE == 200 && store::isBlank(store::textOf(request.APPERROR));
    };
}

std::optional<AccessCheckVerdict> accessCheckVerdict(const ExchangeRunResult& result)
{
    switch (result.outcome) {
    case RunOutcome::Cancelled:
        return std::nullopt;
    case RunOutcome::Succeeded:
        return AccessCheckVerdict{true,
                                  QStringLiteral("Доступ к сервису Ветис.API проверен: сервис ответил.")};
    case RunOutcome::Failed:
        break;
    }
    if (!result.error.isEmpty())
        return AccessCheckVerdict{
            false, QStringLiteral("Проверка доступа к сервису Ветис.API не выполнена: ") + result.error};
    const int status = result.request.RCODE;
    if (status == 200) {
        // The exchange refused what came back; APPERROR says why.
        const QString why = platform::fromCp1251(store::textOf(result.request.APPERROR)).trimmed();
        return AccessCheckVerdict{
            false, why.isEmpty()
                       ? QStringLiteral("Сервис Ветис.API ответил, но ответ не принят.")
                       : QStringLiteral("Сервис Ветис.API ответил, но ответ не принят:|%1").arg(why)};
    }
    if (status == 401 || status == 403)
        return AccessCheckVerdict{false,
                                  QStringLiteral("Сервис Ветис.API отказал в доступе (код ответа: %1).|"
                                                 "Проверьте логин и пароль.")
                                      .arg(status)};
    if (status != 0)
        return AccessCheckVerdict{
            false, QStringLiteral("Сервис Ветис.API ответил ошибкой (код ответа: %1).").arg(status)};
    if (result.transfer.code > 0)
        return AccessCheckVerdict{
            false,
            QStringLiteral("Сервис Ветис.API не ответил.|Ошибка запроса: %1| %2")
                .arg(result.transfer.code)
                .arg(QString::fromUtf8(curl_easy_strerror(static_cast<CURLcode>(result.transfer.code))))};
    // Nothing was sent; the exchange has said why.
    return AccessCheckVerdict{false, QStringLiteral("Проверка доступа к сервису Ветис.API не выполнена.")};
}

} // namespace vetis
