// SPDX-License-Identifier: LicenseRef-Kestrom
// The check before a VSD is submitted a second time. An application whose
// answer was lost (a dropped connection, a cancelled poll, a closed program)
// may well have repaid the VSD in Mercury; submitting it again would ask
// Mercury to take the same consignment twice. So Mercury is asked for the VSD
// as it is now, and only a VSD it still holds as CONFIRMED, and whose earlier
// application has ended without repaying it, is submitted.
#include "framework/MessageBox.h"
#include "responses/VsdLoader.h"
#include "store/RecordText.h"
#include "vetis/ApplicationAnswer.h"
#include "vetis/RequestRecord.h"
#include "workspace/VsdApplicationSteps.h"

namespace workspace {

namespace {

// Receives of the query's result before Mercury is taken to have no answer,
// each after the run's pause.
constexpr int kStateReceives = 5;

MercuryVsdState stateInAnswer(const responses::VsdAnswerLists& lists, std::string_view uuid)
{
    for (std::size_t i = 0; i < lists.vsd.count(); ++i) {
        const responses::VsdRow& row = lists.vsd[i];
        if (store::textOf(row.UUID) != uuid)
            continue;
        const std::string_view status = store::clip(store::ztextOf(row.VETDSTATUS));
        if (status == "UTILIZED")
            return MercuryVsdState::Utilized;
        return status == "CONFIRMED" ? MercuryVsdState::Confirmed : MercuryVsdState::Other;
    }
    return MercuryVsdState::Unknown;
}

bool hasEnded(vetis::ApplicationStatus status)
{
    return status != vetis::ApplicationStatus::Accepted && status != vetis::ApplicationStatus::InProcess;
}

} // namespace

MercuryVsdState VsdApplicationSteps::askMercury(const std::string& uuid, std::string_view enterpriseGuid)
{
    vetis::RequestRecord query;
    query.setRequestCode(vetis::RequestCode::VetDocumentByUuid);
    store::setText(query.UUID, uuid);
    store::setZText(query.P2, enterpriseGuid);
    if (!exchange(query))
        return MercuryVsdState::Unknown;
    const std::string id(store::textOf(query.APPID));
    vetis::ApplicationStatus status = vetis::applicationStatusOf(store::ztextOf(query.APPSTATUS));
    if (id.size() != 36 || (hasEnded(status) && status != vetis::ApplicationStatus::Completed))
        return MercuryVsdState::Unknown;
    for (int receive = 0; receive < kStateReceives; ++receive) {
        // A query answered at once is received at once.
        if ((receive > 0 || status != vetis::ApplicationStatus::Completed) && !pause())
            return MercuryVsdState::Cancelled;
        vetis::RequestRecord result;
        result.setRequestCode(vetis::RequestCode::ReceiveApplicationResult);
        store::setZText(result.P1, id);
        responses::VsdAnswerLists lists;
        lists.bind(result);
        if (!exchange(result) || store::textOf(result.APPID) != id)
            return MercuryVsdState::Unknown;
        status = vetis::applicationStatusOf(store::ztextOf(result.APPSTATUS));
        if (status == vetis::ApplicationStatus::Completed)
            return stateInAnswer(lists, uuid);
        if (hasEnded(status))
            return MercuryVsdState::Unknown;
    }
    return MercuryVsdState::Unknown;
}

bool VsdApplicationSteps::mayResubmit(const store::VsdRecord& vsd, Submission& instead)
{
    // Only an application still open may have gone through unseen; a finished
    // one (condition 0 or 100) has told what became of it.
    const std::uint8_t condition = vsd.CONDITION;
    if (store::textOf(vsd.APPID).size() != 36 || condition < 1 || condition > 9)
        return true;
    const std::string uuid(store::textOf(vsd.UUID));
    switch (askMercury(uuid, store::textOf(vsd.CONSIGNEEENT))) {
    case MercuryVsdState::Confirmed:
        // Not repaid yet; but the earlier application may still be waiting
        // to be processed, and would then repay it after all.
        switch (poll(uuid)) {
        case Poll::NotPolled:
        case Poll::Rejected:
            return true;
        case Poll::Waiting:
            tell(
                QStringLiteral("Заявка по ВСД ещё обрабатывается «Меркурием», повторная заявка не отправлена "
                               "!|Получите ответы сервиса (F4) позже."),
                vsd);
            instead = Submission::Refused;
            return false;
        case Poll::Completed:
            tell(QStringLiteral("ВСД уже погашен в «Меркурии», повторная заявка не отправлена !"), vsd,
                 false);
            instead = Submission::AlreadyRepaid;
            return false;
        case Poll::NoAnswer:
            break;
        }
        break;
    case MercuryVsdState::Utilized: {
        const auto repaid = [](store::VsdRecord& r) {
            markRepaid(r);
            store::setZText(r.APPERROR, {});
        };
        if (!update(uuid, repaid)) {
            instead = Submission::Failed;
            return false;
        }
        tell(QStringLiteral("ВСД уже погашен в «Меркурии», повторная заявка не отправлена !"), vsd, false);
        instead = Submission::AlreadyRepaid;
        return false;
    }
    case MercuryVsdState::Other:
        // Withdrawn or otherwise closed in Mercury meanwhile; the next list
        // request brings its new state.
        tell(QStringLiteral("ВСД должен быть в состоянии ОФОРМЛЕН !"), vsd);
        instead = Submission::Refused;
        return false;
    case MercuryVsdState::Cancelled:
        instead = Submission::Cancelled;
        return false;
    case MercuryVsdState::Unknown:
        break;
    }
    tell(QStringLiteral("Нет ответа «Меркурия» о состоянии ВСД, повторная заявка не отправлена !|"
                        "Получите ответы сервиса (F4) или повторите отправку позже."),
         vsd);
    instead = Submission::Refused;
    return false;
}

} // namespace workspace
