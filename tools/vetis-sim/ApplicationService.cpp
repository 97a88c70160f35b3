// SPDX-License-Identifier: LicenseRef-Kestrom
#include "ApplicationService.h"

#include "Ids.h"
#include "RegistryService.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <utility>

namespace vetissim {
namespace {

constexpr std::string_view kServiceId = "mercury-g2b.service:2.1";

constexpr std::array<std::string_view, 7> kSupportedRequests{
    "getVetDocumentListRequest",         "getVetDocumentByUuidRequest", "getStockEntryListRequest",
    "processIncomingConsignmentRequest", "modifyEnterpriseRequest",     "modifyActivityLocationsRequest",
    "getBusinessEntityUserListRequest"};

OpResult accessDenied(const std::string& message)
{
    return soapFault(true, "Access denied", "accessDeniedFault", message, "APLM0012");
}

void pagedList(XNode& listNode, const std::vector<const XNode*>& all, int count, int offset)
{
    const int total = static_cast<int>(all.size());
    const int first = std::min(offset, total);
    const int last = std::min(total, first + count);
    listNode.attr("count", std::to_string(last - first));
    listNode.attr("total", std::to_string(total));
    listNode.attr("offset", std::to_string(offset));
    listNode.attr("hasMore", last < total ? "true" : "false");
    for (int i = first; i < last; ++i)
        listNode.children.push_back(*all[static_cast<std::size_t>(i)]);
}

[[nodiscard]] bool readPage(const XNode& request, const SimConfig& config, int& count, int& offset,
                            std::vector<BusinessError>& errors)
{
    OpResult fault;
    if (readListOptions(request, config, count, offset, fault))
        return true;
    errors.push_back({"MERC00002", "Неверно заданы параметры списка (listOptions)"});
    return false;
}

} // namespace

const char* statusWord(ApplicationStatus status)
{
    switch (status) {
    case ApplicationStatus::Accepted:
        return "ACCEPTED";
    case ApplicationStatus::InProcess:
        return "IN_PROCESS";
    case ApplicationStatus::Completed:
        return "COMPLETED";
    case ApplicationStatus::Rejected:
        return "REJECTED";
    }
    return "";
}

OpResult ApplicationService::submit(const XNode& operation)
{
    if (!operation.is(Ns::AplWs, "submitApplicationRequest"))
        return soapFault(true, "Unexpected wrapper element " + operation.name + " found.", {}, {}, {});
    if (operation.textAt("apldef:apiKey") != m_config.apiKey)
        return accessDenied("Неверный ключ API (apiKey)");
    const XNode* application = operation.child(Ns::Apl, "application");
    if (!application)
        return soapFault(true, "Incorrect request", "incorrectRequestFault", "Не передана заявка",
                         "APLM0001");
    if (application->textAt("apl:issuerId") != m_config.issuerId)
        return accessDenied("Заявитель (issuerId) не соответствует ключу API");
    const std::string serviceId = application->textAt("apl:serviceId");
    if (serviceId != kServiceId)
        return soapFault(true, "Unknown service id", "unknownServiceIdFault",
                         "Неизвестный сервис: " + serviceId, "APLM0004", Ns::AplWs);
    const XNode* data = application->child(Ns::Apl, "data");
    const XNode* inner = data && data->children.size() == 1 ? &data->children.front() : nullptr;
    bool supported = false;
    for (std::string_view name : kSupportedRequests)
        supported = supported || (inner && inner->is(Ns::Merc, name));
    if (!supported)
        return soapFault(true, "Unsupported application data type", "unsupportedApplicationDataTypeFault",
                         "Неподдерживаемый тип данных заявки", "APLM0005", Ns::AplWs);

    Application app;
    app.info.id = freshUuid();
    app.info.issuerId = m_config.issuerId;
    app.info.innerOperation = inner->name;
    app.request = *inner;
    app.serviceId = serviceId;
    app.issueDate = application->textAt("apl:issueDate");
    app.rcvDate = nowDateTime();
    if (m_config.completeAfterReceives <= 0)
        advance(app);
    OpResult result;
    result.body = XNode(Ns::AplWs, "submitApplicationResponse");
    result.body.children.push_back(applicationElement(app));
    m_order.push_back(app.info.id);
    m_applications.emplace(app.info.id, std::move(app));
    // A client that never asks for its results must not make the simulator grow:
    // the oldest applications are forgotten, and a receive of one is answered
    // like that of an unknown id.
    while (m_order.size() > std::max<std::size_t>(m_config.limits.maxApplications, 1)) {
        m_applications.erase(m_order.front());
        m_order.pop_front();
    }
    return result;
}

OpResult ApplicationService::receive(const XNode& operation)
{
    if (!operation.is(Ns::AplWs, "receiveApplicationResultRequest"))
        return soapFault(true, "Unexpected wrapper element " + operation.name + " found.", {}, {}, {});
    if (operation.textAt("apldef:apiKey") != m_config.apiKey)
        return accessDenied("Неверный ключ API (apiKey)");
    const std::string id = operation.textAt("apldef:applicationId");
    const std::string issuer = operation.textAt("apldef:issuerId");
    OpResult result;
    result.body = XNode(Ns::AplWs, "receiveApplicationResultResponse");
    auto found = m_applications.find(id);
    if (found == m_applications.end() || found->second.info.issuerId != issuer) {
        // An application nobody submitted (or someone else's) is answered as a rejection.
        Application unknown;
        unknown.info.id = id;
        unknown.info.issuerId = issuer;
        unknown.info.status = ApplicationStatus::Rejected;
        unknown.info.errors.push_back({"APLM0007", "Заявка с идентификатором " + id + " не найдена"});
        result.body.children.push_back(applicationElement(unknown));
        return result;
    }
    Application& app = found->second;
    if (app.info.receives < std::numeric_limits<int>::max())
        ++app.info.receives;
    advance(app);
    result.body.children.push_back(applicationElement(app));
    return result;
}

void ApplicationService::advance(Application& app)
{
    if (app.info.status == ApplicationStatus::Completed || app.info.status == ApplicationStatus::Rejected)
        return;
    if (app.info.receives >= m_config.completeAfterReceives) {
        process(app);
    } else if (app.info.receives >= m_config.inProcessAfterReceives) {
        app.info.status = ApplicationStatus::InProcess;
    }
}

void ApplicationService::process(Application& app)
{
    std::vector<BusinessError> errors;
    const std::string& name = app.info.innerOperation;
    if (name == "getVetDocumentListRequest")
        app.result = vetDocumentList(app.request, errors);
    else if (name == "getVetDocumentByUuidRequest")
        app.result = vetDocumentByUuid(app.request, errors);
    else if (name == "processIncomingConsignmentRequest")
        app.result = processIncoming(app.request, errors);
    else if (name == "getStockEntryListRequest")
        app.result = stockEntryList(app.request, errors);
    else if (name == "modifyEnterpriseRequest")
        app.result = modifyEnterprise(app.request, errors);
    else if (name == "modifyActivityLocationsRequest")
        app.result = modifyActivityLocations(app.request, errors);
    else
        app.result = userList(app.request, errors);
    app.resultDate = nowDateTime();
    app.info.errors = std::move(errors);
    app.info.status = app.info.errors.empty() ? ApplicationStatus::Completed : ApplicationStatus::Rejected;
}

XNode ApplicationService::applicationElement(const Application& app) const
{
    XNode n(Ns::Apl, "application");
    n.add(Ns::Apl, "applicationId", app.info.id);
    n.add(Ns::Apl, "status", statusWord(app.info.status));
    n.addIf(Ns::Apl, "serviceId", app.serviceId);
    n.addIf(Ns::Apl, "issuerId", app.info.issuerId);
    n.addIf(Ns::Apl, "issueDate", app.issueDate);
    n.addIf(Ns::Apl, "rcvDate", app.rcvDate);
    const bool finished =
        app.info.status == ApplicationStatus::Completed || app.info.status == ApplicationStatus::Rejected;
    if (finished)
        n.addIf(Ns::Apl, "prdcRsltDate", app.resultDate);
    if (app.info.status == ApplicationStatus::Completed)
        n.add(Ns::Apl, "result").children.push_back(app.result);
    if (app.info.status == ApplicationStatus::Rejected) {
        XNode& errors = n.add(Ns::Apl, "errors");
        for (const BusinessError& e : app.info.errors)
            errors.add(Ns::Apl, "error", e.text).attr("code", e.code);
    }
    return n;
}

void ApplicationService::rejectVsd(const std::string& uuid, BusinessError error)
{
    m_rejecting[uuid] = std::move(error);
}

std::vector<ApplicationInfo> ApplicationService::applications() const
{
    std::vector<ApplicationInfo> out;
    for (const std::string& id : m_order)
        out.push_back(m_applications.at(id).info);
    return out;
}

void ApplicationService::clear()
{
    m_applications.clear();
    m_order.clear();
    m_rejecting.clear();
}

XNode ApplicationService::vetDocumentList(const XNode& request, std::vector<BusinessError>& errors) const
{
    int count = 0;
    int offset = 0;
    if (!readPage(request, m_config, count, offset, errors))
        return {};
    const std::string enterprise = request.textAt("dt:enterpriseGuid");
    if (!isUuid(enterprise)) {
        errors.push_back(
            {"MERC00003", "Не указан или неверно указан идентификатор площадки (enterpriseGuid)"});
        return {};
    }
    const std::string type = request.textAt("vd:vetDocumentType");
    const std::string status = request.textAt("vd:vetDocumentStatus");
    const std::string begin = request.textAt("vd:issueDateInterval/bs:beginDate").substr(0, 10);
    const std::string end = request.textAt("vd:issueDateInterval/bs:endDate").substr(0, 10);
    std::vector<const XNode*> matching;
    for (const XNode& vsd : m_store.vsds()) {
        const bool incoming =
            vsd.textAt("vd:certifiedConsignment/vd:consignee/dt:enterprise/bs:guid") == enterprise;
        const bool outgoing =
            vsd.textAt("vd:certifiedConsignment/vd:consignor/dt:enterprise/bs:guid") == enterprise;
        bool take = incoming || outgoing;
        if (type == "INCOMING")
            take = incoming;
        else if (type == "OUTGOING")
            take = outgoing;
        else if (!type.empty())
            take = take && vsd.textAt("vd:vetDType") == type;
        const std::string issued = vsd.textAt("vd:issueDate");
        take = take && (status.empty() || vsd.textAt("vd:vetDStatus") == status);
        take = take && (begin.empty() || issued >= begin) && (end.empty() || issued <= end);
        if (take)
            matching.push_back(&vsd);
    }
    XNode response(Ns::Merc, "getVetDocumentListResponse");
    pagedList(response.add(Ns::VetDoc, "vetDocumentList"), matching, count, offset);
    return response;
}

XNode ApplicationService::vetDocumentByUuid(const XNode& request, std::vector<BusinessError>& errors) const
{
    const std::string uuid = request.textAt("bs:uuid");
    const std::string enterprise = request.textAt("dt:enterpriseGuid");
    if (!isUuid(enterprise)) {
        errors.push_back(
            {"MERC00003", "Не указан или неверно указан идентификатор площадки (enterpriseGuid)"});
        return {};
    }
    // The VSD as it is now (repaid ones show UTILIZED), for the consignor or the consignee only.
    const XNode* vsd = std::as_const(m_store).vsd(uuid);
    if (!vsd || (vsd->textAt("vd:certifiedConsignment/vd:consignee/dt:enterprise/bs:guid") != enterprise &&
                 vsd->textAt("vd:certifiedConsignment/vd:consignor/dt:enterprise/bs:guid") != enterprise)) {
        errors.push_back({"MERC13001", "ВСД с идентификатором " + uuid + " не найден"});
        return {};
    }
    XNode response(Ns::Merc, "getVetDocumentByUuidResponse");
    response.children.push_back(*vsd);
    return response;
}

XNode ApplicationService::processIncoming(const XNode& request, std::vector<BusinessError>& errors)
{
    const std::string uuid = request.textAt("merc:delivery/vd:accompanyingForms/vd:vetCertificate/bs:uuid");
    const std::string decision = request.textAt("merc:deliveryFacts/vd:decision");
    if (auto rejecting = m_rejecting.find(uuid); rejecting != m_rejecting.end()) {
        errors.push_back(rejecting->second);
        return {};
    }
    // Read through the shared data; only a repay takes the VSD to change.
    const XNode* vsd = std::as_const(m_store).vsd(uuid);
    if (!vsd) {
        errors.push_back({"MERC13001", "ВСД с идентификатором " + uuid + " не найден"});
        return {};
    }
    const std::string status = vsd->textAt("vd:vetDStatus");
    if (status != "CONFIRMED") {
        errors.push_back(
            {"MERC13002", "ВСД " + uuid + " имеет статус " + status + " и не может быть погашен"});
        return {};
    }
    const std::string consignee = request.textAt("merc:delivery/vd:consignee/dt:enterprise/bs:guid");
    if (consignee != vsd->textAt("vd:certifiedConsignment/vd:consignee/dt:enterprise/bs:guid")) {
        errors.push_back({"MERC13003", "Получатель в заявке не совпадает с получателем по ВСД"});
        return {};
    }
    std::string volumeText = request.textAt("merc:delivery/vd:consignment/vd:volume");
    if (volumeText.empty())
        volumeText = request.textAt("merc:returnedDelivery/vd:consignment/vd:volume");
    const double available =
        std::strtod(vsd->textAt("vd:certifiedConsignment/vd:batch/vd:volume").c_str(), nullptr);
    if (!volumeText.empty() && std::strtod(volumeText.c_str(), nullptr) > available + 1e-9) {
        errors.push_back({"MERC13004", "Объём партии " + volumeText + " превышает объём по ВСД " +
                                           vsd->textAt("vd:certifiedConsignment/vd:batch/vd:volume")});
        return {};
    }
    if (decision != "ACCEPT_ALL" && decision != "RETURN_ALL" && decision != "PARTIALLY") {
        errors.push_back({"MERC13005", "Неверно указано решение о приёмке груза"});
        return {};
    }

    // The VSD is repaid: later lists show it UTILIZED with one more status change.
    XNode* repaidVsd = m_store.vsd(uuid);
    const std::string now = nowDateTime();
    // The status was read above, so its element is there; a VSD of a fixture
    // folder that has no date of its last change keeps none.
    static_cast<void>(repaidVsd->setTextAt("vd:vetDStatus", "UTILIZED"));
    static_cast<void>(repaidVsd->setTextAt("vd:lastUpdateDate", now));
    XNode change(Ns::VetDoc, "statusChange");
    change.add(Ns::VetDoc, "status", "UTILIZED");
    XNode& person = change.add(Ns::VetDoc, "specifiedPerson");
    person.addIf(Ns::VetDoc, "login", request.textAt("merc:initiator/vd:login"));
    person.add(Ns::VetDoc, "fio", "Уполномоченное лицо получателя");
    change.add(Ns::VetDoc, "actualDateTime", now);
    repaidVsd->children.push_back(std::move(change));
    vsd = repaidVsd;

    XNode response(Ns::Merc, "processIncomingConsignmentResponse");
    if (decision != "RETURN_ALL") {
        XNode& entry = response.add(Ns::Merc, "stockEntry");
        entry.add(Ns::Base, "uuid", freshUuid());
        entry.add(Ns::Base, "guid", freshUuid());
        entry.add(Ns::Base, "active", "true");
        entry.add(Ns::Base, "last", "true");
        entry.add(Ns::Base, "status", "100");
        entry.add(Ns::Base, "createDate", now);
        entry.add(Ns::Base, "updateDate", now);
        entry.add(Ns::VetDoc, "entryNumber", std::to_string(1000 + m_applications.size()));
        if (const XNode* batch = vsd->at("vd:certifiedConsignment/vd:batch"))
            entry.children.push_back(*batch);
    }
    // The members of the g2b answers are elements of the g2b namespace holding vd: content.
    XNode repaid = *vsd;
    repaid.ns = Ns::Merc;
    response.children.push_back(std::move(repaid));
    return response;
}

XNode ApplicationService::stockEntryList(const XNode& request, std::vector<BusinessError>& errors) const
{
    int count = 0;
    int offset = 0;
    if (!readPage(request, m_config, count, offset, errors))
        return {};
    const std::string enterprise = request.textAt("dt:enterpriseGuid");
    std::vector<XNode> entries;
    for (const XNode& vsd : m_store.vsds()) {
        if (vsd.textAt("vd:vetDStatus") != "UTILIZED" ||
            vsd.textAt("vd:certifiedConsignment/vd:consignee/dt:enterprise/bs:guid") != enterprise)
            continue;
        XNode entry = XNode(Ns::VetDoc, "stockEntry");
        entry.add(Ns::Base, "uuid", UuidSource(entries.size() + 77).next());
        entry.add(Ns::Base, "guid", UuidSource(entries.size() + 177).next());
        entry.add(Ns::VetDoc, "entryNumber", std::to_string(1000 + entries.size()));
        if (const XNode* batch = vsd.at("vd:certifiedConsignment/vd:batch"))
            entry.children.push_back(*batch);
        entries.push_back(std::move(entry));
    }
    std::vector<const XNode*> all;
    for (const XNode& e : entries)
        all.push_back(&e);
    XNode response(Ns::Merc, "getStockEntryListResponse");
    pagedList(response.add(Ns::VetDoc, "stockEntryList"), all, count, offset);
    return response;
}

XNode ApplicationService::modifyEnterprise(const XNode& request, std::vector<BusinessError>& errors)
{
    const XNode* source = request.at("merc:modificationOperation/vd:resultingList/dt:enterprise");
    if (!source || source->textAt("dt:name").empty()) {
        errors.push_back({"MERC14001", "Не указано наименование предприятия"});
        return {};
    }
    if (m_createdEnterprises >= m_config.limits.maxCreatedEnterprises) {
        errors.push_back({"MERC14003", "Превышено число предприятий, зарегистрированных заявками"});
        return {};
    }
    ++m_createdEnterprises;
    XNode enterprise(Ns::Dict, "enterprise");
    enterprise.add(Ns::Base, "uuid", freshUuid());
    enterprise.add(Ns::Base, "guid", freshUuid());
    enterprise.add(Ns::Base, "active", "true");
    enterprise.add(Ns::Base, "last", "true");
    enterprise.add(Ns::Base, "status", "100");
    enterprise.add(Ns::Base, "createDate", nowDateTime());
    enterprise.add(Ns::Base, "updateDate", nowDateTime());
    for (const XNode& c : source->children) {
        if (c.ns != Ns::Base)
            enterprise.children.push_back(c);
    }
    m_store.put(RefKind::Enterprise, enterprise);
    XNode response(Ns::Merc, "modifyEnterpriseResponse");
    enterprise.ns = Ns::Merc;
    response.children.push_back(std::move(enterprise));
    return response;
}

XNode ApplicationService::modifyActivityLocations(const XNode& request,
                                                  std::vector<BusinessError>& errors) const
{
    const std::string entity = request.textAt("merc:modificationOperation/vd:businessEntity/bs:guid");
    const XNode* found = m_store.byGuid(RefKind::BusinessEntity, entity);
    if (!found) {
        errors.push_back({"MERC14002", "Хозяйствующий субъект " + entity + " не найден"});
        return {};
    }
    XNode response(Ns::Merc, "modifyActivityLocationsResponse");
    XNode entityCopy = *found;
    entityCopy.ns = Ns::Merc;
    response.children.push_back(std::move(entityCopy));
    return response;
}

XNode ApplicationService::userList(const XNode& request, std::vector<BusinessError>& errors) const
{
    int count = 0;
    int offset = 0;
    if (!readPage(request, m_config, count, offset, errors))
        return {};
    std::vector<XNode> users;
    for (const auto& [login, fio] : {std::pair{"user_zarya_1", "Смирнова Ольга Викторовна"},
                                     std::pair{"user_zarya_2", "Кузнецов Андрей Сергеевич"}}) {
        XNode user(Ns::VetDoc, "user");
        user.add(Ns::Base, "uuid", UuidSource(users.size() + 501).next());
        user.add(Ns::VetDoc, "login", login);
        user.add(Ns::VetDoc, "fio", fio);
        users.push_back(std::move(user));
    }
    std::vector<const XNode*> all;
    for (const XNode& u : users)
        all.push_back(&u);
    XNode response(Ns::Merc, "getBusinessEntityUserListResponse");
    pagedList(response.add(Ns::VetDoc, "userList"), all, count, offset);
    return response;
}

} // namespace vetissim
