// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "FixtureStore.h"
#include "Soap.h"

#include <string>
#include <string_view>

namespace vetissim {

// The service an operation is posted to, by the last part of its path.
enum class Service
{
    ApplicationManagement,
    Enterprise,
    Ikar,
    Dictionary,
    Product,
    Regionalization,
    Unknown
};

Service serviceFromPath(std::string_view path);
std::string_view servicePath(Service service);

// Answers of the registry services (EnterpriseService, IkarService,
// DictionaryService, ProductService) from the fixture store: lists paged by
// bs:listOptions with count/total/offset on the list element, and single
// entries by GUID.
class RegistryService
{
public:
    RegistryService(const FixtureStore& store, const SimConfig& config)
        : m_store(store)
        , m_config(config)
    {}

    // The service that answers a registry operation element; Unknown when it is none.
    static Service serviceOf(std::string_view operation);
    [[nodiscard]] OpResult answer(const XNode& operation) const;

private:
    [[nodiscard]] OpResult list(const XNode& operation, RefKind kind, std::string_view listName,
                                const FixtureStore::Filter& filter) const;
    [[nodiscard]] OpResult byGuid(const XNode& operation, RefKind kind) const;
    [[nodiscard]] OpResult activityLocations(const XNode& operation) const;

    const FixtureStore& m_store;
    const SimConfig& m_config;
};

// Reads bs:listOptions: count (default when absent, at most the page limit) and
// offset. False with a fault when they are not numbers.
[[nodiscard]] bool readListOptions(const XNode& operation, const SimConfig& config, int& count, int& offset,
                                   OpResult& fault);

} // namespace vetissim
