// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/LastError.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "vetis/VetisSettingsRepository.h"

#include <map>
#include <string>

// m_Vetis in memory, keyed by the clipped GUID, with failures on request.
class FakeVetisSettingsRepository final : public vetis::VetisSettingsRepository
{
public:
    std::optional<store::VetisRecord> find(std::string_view guid) override
    {
        ++finds;
        if (failFind != 0) {
            framework::setLastError(failFind, "Base/mv01.dat");
            return std::nullopt;
        }
        auto it = records.find(std::string(store::clip(guid)));
        if (it == records.end())
            return std::nullopt;
        return it->second;
    }
    int add(const store::VetisRecord& record) override
    {
        ++adds;
        if (failAdd != 0)
            return fail(failAdd);
        const std::string key(store::textOf(record.GUID));
        if (records.count(key))
            return fail(store::kDuplicateKey);
        records[key] = record;
        return store::kOk;
    }
    int put(const store::VetisRecord& record) override
    {
        ++puts;
        if (failPut != 0)
            return fail(failPut);
        auto it = records.find(std::string(store::textOf(record.GUID)));
        if (it == records.end())
            return fail(store::kRecordNotFound);
        it->second = record;
        return store::kOk;
    }
    int remove(std::string_view guid) override
    {
        ++removes;
        if (records.erase(std::string(store::clip(guid))) == 0)
            return fail(store::kRecordNotFound);
        return store::kOk;
    }

    std::map<std::string, store::VetisRecord> records;
    int failFind = 0;
    int failAdd = 0;
    int failPut = 0;
    int finds = 0;
    int adds = 0;
    int puts = 0;
    int removes = 0;

private:
    [[nodiscard]] static int fail(int code)
    {
        framework::setLastError(code, "Base/mv01.dat");
        return code;
    }
};
