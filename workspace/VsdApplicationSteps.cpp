// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/VsdApplicationSteps.h"

#include "framework/MessageBox.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "vetis/ApplicationAnswer.h"
#include "vetis/Exchange.h"
#include "vetis/RequestRecord.h"

#include <algorithm>
#include <thread>

namespace workspace {

namespace {

constexpr std::uint8_t kConditionNone = 0;
constexpr std::uint8_t kConditionFailed = 100;
constexpr std::uint8_t kHighestRunningCondition = 9;
constexpr std::uint8_t kStatusRepaid = 3;
// How often a pause looks whether the run was cancelled.
constexpr std::chrono::milliseconds kPauseStep{50};

bool isRunningCondition(std::uint8_t condition, int highest = kHighestRunningCondition)
{
    return condition >= 1 && condition <= highest;
}

std::string_view applicationIdOf(const store::VsdRecord& vsd)
{
    return store::textOf(vsd.APPID);
}

// An application id the service answered, as the record keeps it.
std::string_view answeredId(const vetis::RequestRecord& request)
{
    return store::textOf(request.APPID);
}

void takeErrorText(store::VsdRecord& vsd, const vetis::RequestRecord& request)
{
    store::setZText(vsd.APPERROR, store::textOf(request.APPERROR));
}

// The submission column of the answers: the application's id in every case.
void applySubmissionAnswer(store::VsdRecord& vsd, VsdOperation operation, const vetis::RequestRecord& request)
{
    const vetis::ApplicationStatus status = vetis::applicationStatusOf(store::ztextOf(request.APPSTATUS));
    store::setText(vsd.APPID, answeredId(request));
    store::setZText(vsd.APPSTATUS, vetis::applicationStatusText(status));
    switch (status) {
    case vetis::ApplicationStatus::Accepted:
    case vetis::ApplicationStatus::InProcess:
    case vetis::ApplicationStatus::Completed:
        vsd.CONDITION = static_cast<std::uint8_t>(operation);
        break;
    case vetis::ApplicationStatus::Rejected:
        takeErrorText(vsd, request);
        vsd.CONDITION = kConditionFailed;
        break;
    case vetis::ApplicationStatus::Unknown:
        vsd.CONDITION = kConditionFailed;
        break;
    }
}

// The polling column: the error text in every case, the condition moved on
// only when the application has ended.
void applyPollAnswer(store::VsdRecord& vsd, vetis::ApplicationStatus status,
                     const vetis::RequestRecord& request)
{
    takeErrorText(vsd, request);
    switch (status) {
    case vetis::ApplicationStatus::Accepted:
    case vetis::ApplicationStatus::InProcess:
        store::setZText(vsd.APPSTATUS, vetis::applicationStatusText(status));
        break;
    case vetis::ApplicationStatus::Completed:
        markRepaid(vsd);
        break;
    case vetis::ApplicationStatus::Rejected:
    case vetis::ApplicationStatus::Unknown:
        store::setZText(vsd.APPSTATUS, vetis::applicationStatusText(status));
        vsd.CONDITION = kConditionFailed;
        break;
    }
}

bool hasApplication(const store::VsdRecord& vsd)
{
    return !store::isBlank(store::ztextOf(vsd.APPSTATUS)) || !store::isBlank(applicationIdOf(vsd)) ||
           !store::isBlank(store::ztextOf(vsd.APPERROR)) || vsd.CONDITION != kConditionNone;
}

void forgetApplication(store::VsdRecord& vsd)
{
    store::setZText(vsd.APPSTATUS, {});
    store::setText(vsd.APPID, {});
    store::setZText(vsd.APPERROR, {});
    vsd.CONDITION = kConditionNone;
}

QString vsdText(std::string_view cp1251)
{
    return platform::fromCp1251(store::clip(cp1251));
}

} // namespace

QString vsdDescription(const store::VsdRecord& vsd)
{
    return QStringLiteral("|| Дата ВСД: ") + platform::formatDay(vsd.DATE) + QStringLiteral(" г.") +
           QStringLiteral("|") + QStringLiteral(" Продукция: ") + vsdText(store::ztextOf(vsd.PRODITEMNAME)) +
           QStringLiteral("|") + QStringLiteral(" Объём: ") + vsdText(store::ztextOf(vsd.VOLUME)) +
           QStringLiteral(" ") + vsdText(store::ztextOf(vsd.UNITNAME)) + QStringLiteral("|");
}

void markRepaid(store::VsdRecord& vsd)
{
    store::setZText(vsd.APPSTATUS, vetis::applicationStatusText(vetis::ApplicationStatus::Completed));
    vsd.CODSTATUS = kStatusRepaid;
    store::setZText(vsd.VETDSTATUS, "UTILIZED");
    vsd.UPDATEDATE = platform::today();
    vsd.UPDATETIME = platform::timeNumber(platform::currentDateTime().time());
    store::setText(vsd.APPID, {});
    vsd.CONDITION = kConditionNone;
}

VsdApplicationSteps::VsdApplicationSteps(VsdApplicationsSetup& setup)
    : m_setup(setup)
    , m_vsd(setup.session, store::vsdTable())
    , m_inside(setup.session, store::insideTable())
{}

bool VsdApplicationSteps::open()
{
    if (m_vsd.open() == store::kOk && m_inside.open() == store::kOk)
        return true;
    framework::informationMessage(m_setup.presenter,
                                  QStringLiteral("Нет доступа к спискам БД для выполнения операции !"));
    return false;
}

bool VsdApplicationSteps::cancelled() const
{
    return m_setup.cancelled && m_setup.cancelled();
}

bool VsdApplicationSteps::pause()
{
    const auto end = std::chrono::steady_clock::now() + m_setup.pause;
    while (!cancelled()) {
        const auto left = end - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            return true;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, kPauseStep));
    }
    return false;
}

bool VsdApplicationSteps::fetch(const std::string& uuid)
{
    m_vsd.clear();
    store::setText(m_vsd.rec().UUID, uuid);
    return m_vsd.fetch("MVD:BYUUID") == store::kOk;
}

bool VsdApplicationSteps::update(const std::string& uuid,
                                 const std::function<void(store::VsdRecord&)>& change)
{
    // Fetched again, so that what another window changed meanwhile (the
    // actual volume, a mark) is kept: only the application's fields are ours.
    if (fetch(uuid)) {
        change(m_vsd.rec());
        if (m_vsd.put() == store::kOk)
            return true;
    }
    tell(QStringLiteral("Не удалось записать ответ сервиса в список ВСД !"), m_vsd.rec());
    return false;
}

bool VsdApplicationSteps::readContents(const std::string& uuid, std::vector<store::InsideRecord>& rows)
{
    m_inside.clear();
    store::setText(m_inside.rec().UUID, uuid);
    if (m_inside.set("MIN:BYUUID", 1) != store::kOk)
        return false;
    int rc = store::kOk;
    while ((rc = m_inside.next()) == store::kOk && store::textOf(m_inside.rec().UUID) == uuid)
        rows.push_back(m_inside.rec());
    return rc == store::kOk || rc == store::kRecordNotFound;
}

bool VsdApplicationSteps::exchange(vetis::RequestRecord& request, const store::VsdRecord* vsd,
                                   std::span<const store::InsideRecord> rows)
{
    vetis::ExchangeContext context = m_setup.exchange;
    context.vsd = vsd;
    context.inside = rows;
    if (request.lists[0])
        context.reader = &m_reader;
    request.INDICATOR = 1;
    request.control = m_setup.transfer;
    store::setText(request.VETISGUID, m_setup.entityGuid);
    return vetis::Exchange(request, context);
}

void VsdApplicationSteps::tell(const QString& reason, const store::VsdRecord& vsd, bool problem)
{
    if (problem)
        framework::problemMessage(m_setup.presenter, reason + vsdDescription(vsd));
    else
        framework::informationMessage(m_setup.presenter, reason + vsdDescription(vsd));
}

VsdApplicationSteps::Submission VsdApplicationSteps::submit(VsdOperation operation, const std::string& uuid,
                                                            bool& rejected)
{
    rejected = false;
    if (uuid.size() != 36 || !fetch(uuid))
        return Submission::NotFound;
    store::VsdRecord vsd = m_vsd.rec();
    if (vsd.FINALIZED != 0) {
        tell(QStringLiteral("ВСД закрыт, операции по нему запрещены !"), vsd);
        return Submission::Refused;
    }
    if (store::clip(store::ztextOf(vsd.VETDSTATUS)) != "CONFIRMED") {
        tell(QStringLiteral("ВСД должен быть в состоянии ОФОРМЛЕН !"), vsd);
        return Submission::Refused;
    }
    Submission instead = Submission::Refused;
    if (!mayResubmit(vsd, instead))
        return instead;

    // A new application forgets the last one, whatever becomes of it.
    bool changed = false;
    if (hasApplication(vsd)) {
        forgetApplication(vsd);
        changed = true;
    }
    std::vector<store::InsideRecord> rows;
    if (!readContents(uuid, rows)) {
        // A repay without its batches and producers would misstate the consignment.
        if (changed)
            static_cast<void>(update(uuid, forgetApplication));
        tell(QStringLiteral("Нет доступа к спискам БД для выполнения операции !"), vsd);
        return Submission::Failed;
    }
    vetis::RequestRecord request;
    request.setRequestCode(operation == VsdOperation::Return ? vetis::RequestCode::ReturnConsignment
                                                             : vetis::RequestCode::RepayConsignment);
    store::setText(request.UUID, uuid);
    if (!exchange(request, &vsd, rows)) {
        // Without an answer the VSD keeps no application.
        if (changed)
            static_cast<void>(update(uuid, forgetApplication));
        return Submission::Failed;
    }
    const auto take = [&](store::VsdRecord& r) {
        forgetApplication(r);
        applySubmissionAnswer(r, operation, request);
    };
    if (!update(uuid, take))
        return Submission::Failed;
    rejected = m_vsd.rec().CONDITION == kConditionFailed;
    return Submission::Submitted;
}

VsdApplicationSteps::Poll VsdApplicationSteps::poll(const std::string& uuid)
{
    if (!fetch(uuid))
        return Poll::NotPolled;
    const std::string id(applicationIdOf(m_vsd.rec()));
    if (id.size() != 36 || !isRunningCondition(m_vsd.rec().CONDITION))
        return Poll::NotPolled;
    vetis::RequestRecord request;
    request.setRequestCode(vetis::RequestCode::ReceiveApplicationResult);
    store::setZText(request.P1, id);
    // An answer about another application says nothing of this one.
    if (!exchange(request) || answeredId(request) != id)
        return Poll::NoAnswer;
    const vetis::ApplicationStatus status = vetis::applicationStatusOf(store::ztextOf(request.APPSTATUS));
    if (!update(uuid, [&](store::VsdRecord& r) { applyPollAnswer(r, status, request); }))
        return Poll::NoAnswer;
    switch (status) {
    case vetis::ApplicationStatus::Accepted:
    case vetis::ApplicationStatus::InProcess:
        return Poll::Waiting;
    case vetis::ApplicationStatus::Completed:
        return Poll::Completed;
    case vetis::ApplicationStatus::Rejected:
    case vetis::ApplicationStatus::Unknown:
        break;
    }
    return Poll::Rejected;
}

bool VsdApplicationSteps::waitsForAnswer(const std::string& uuid, int highestCondition)
{
    return fetch(uuid) && applicationIdOf(m_vsd.rec()).size() == 36 &&
           isRunningCondition(m_vsd.rec().CONDITION, highestCondition);
}

} // namespace workspace
