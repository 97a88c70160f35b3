// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "FixtureStore.h"
#include "Soap.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace vetissim {

// ApplicationManagementService: accepts applications that wrap one Mercury g2b
// request, moves them ACCEPTED -> IN_PROCESS -> COMPLETED (or REJECTED) over
// successive receives, and carries out the request against the fixture store
// when it completes, so that a repaid VSD shows UTILIZED in later lists.
class ApplicationService
{
public:
    ApplicationService(FixtureStore& store, const SimConfig& config)
        : m_store(store)
        , m_config(config)
    {}

    [[nodiscard]] OpResult submit(const XNode& operation);
    [[nodiscard]] OpResult receive(const XNode& operation);

    // A repay or return of this VSD is rejected with the error code and text.
    void rejectVsd(const std::string& uuid, BusinessError error);
    std::size_t rejectedVsdCount() const { return m_rejecting.size(); }
    std::vector<ApplicationInfo> applications() const;
    void clear();

private:
    struct Application
    {
        ApplicationInfo info;
        XNode request;
        std::string serviceId;
        std::string issueDate;
        std::string rcvDate;
        std::string resultDate;
        XNode result;
    };

    void advance(Application& app);
    void process(Application& app);
    XNode applicationElement(const Application& app) const;

    XNode vetDocumentList(const XNode& request, std::vector<BusinessError>& errors) const;
    XNode vetDocumentByUuid(const XNode& request, std::vector<BusinessError>& errors) const;
    XNode processIncoming(const XNode& request, std::vector<BusinessError>& errors);
    XNode stockEntryList(const XNode& request, std::vector<BusinessError>& errors) const;
    XNode modifyEnterprise(const XNode& request, std::vector<BusinessError>& errors);
    XNode modifyActivityLocations(const XNode& request, std::vector<BusinessError>& errors) const;
    XNode userList(const XNode& request, std::vector<BusinessError>& errors) const;

    FixtureStore& m_store;
    const SimConfig& m_config;
    std::map<std::string, Application> m_applications;
    // Ids in submission order; beyond limits.maxApplications the oldest are forgotten.
    std::deque<std::string> m_order;
    std::size_t m_createdEnterprises = 0;
    std::map<std::string, BusinessError> m_rejecting;
};

} // namespace vetissim
