// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

namespace store {
class Session;
struct TableDef;
struct RefsRecord;
struct EntityRecord;
struct EnterpriseRecord;
struct PlaceRecord;
struct ProductRecord;
template <typename Record>
class TypedTable;
} // namespace store
namespace vetis {
struct ExchangeContext;
}

// Single entries by GUID: dictionary entries (m_Refs), business entities
// (m_Entity), enterprises (m_Enterprise, linked to their entity in m_Place)
// and product items (m_Product), found locally or, when asked to, fetched
// from the service and stored. One object serves one load: a GUID the
// service could not give is asked for once, and every answer is remembered,
// so that a thousand VSDs naming the same missing entry make one call.
//
// Texts are Windows-1251 bytes, as the tables keep them. Writes go through
// the given session outside any transaction of the caller's, so that what
// was fetched stays when a load that needed it is rolled back: give the
// lookups a session of their own.
namespace responses {

struct ListLayout;

// The Mercury fields of a business entity (a row of the businessEntity list)
// into `e`; the program's own fields (MEN:HOME, MEN:MARK, MEN:REMARK and the
// reserve) stay as they are.
void mapEntityRow(const ListLayout& layout, const std::byte* row, store::EntityRecord& e);
// The Mercury fields of an enterprise (a row of the enterprise or the
// activityLocation list) into `e`; MEP:MARK and the reserve stay.
void mapEnterpriseRow(const ListLayout& layout, const std::byte* row, store::EnterpriseRecord& e);

enum class LookupMode
{
    None, // only make sure the entry is stored
    Name, // its name, or a placeholder when there is none
    Guid, // its GUID when it is stored
    Inn,  // business entities: the INN, empty when the entity is not stored
};

class ReferenceLookups
{
public:
    ReferenceLookups(store::Session& session, vetis::ExchangeContext& context, std::string_view entityGuid);
    ~ReferenceLookups();
    ReferenceLookups(const ReferenceLookups&) = delete;
    ReferenceLookups& operator=(const ReferenceLookups&) = delete;

    // Dictionary entry of kind (MRE:VID) 1, 2, 9, 11, 12 or 13 (other kinds
    // are only looked up locally). Placeholders "<Нет в справочнике>" and
    // "<Нет GUID>" in the name mode.
    std::string reference(int kind, LookupMode mode, bool fetch, std::string_view guid);
    // Placeholders "<Нет в справочнике ХС>" and "<Нет GUID ХС>" in the name mode.
    std::string businessEntity(LookupMode mode, bool fetch, std::string_view guid);
    // Also records the pair (entity, enterprise) in m_Place when an entity
    // GUID of 36 characters is given and the enterprise is stored.
    // Placeholders "<Нет в справочнике площадок>" and "<Нет GUID площадки>".
    std::string enterprise(LookupMode mode, bool fetch, std::string_view guid,
                           std::string_view ownerEntity = {});
    // Stores with a new product item its producer, trade-mark owner, product
    // type, product and subproduct. Placeholders "<Нет продукции>" and
    // "<Нет GUID продукции>".
    std::string productItem(LookupMode mode, bool fetch, std::string_view guid);

    // What a lookup keeps of an entry it found.
    struct Found
    {
        std::string name;
        std::string inn;
    };

private:
    std::string answer(const Found* found, LookupMode mode, std::string_view guid, const char* missing) const;

    bool findReference(std::string_view guid, Found& out);
    bool fetchReference(int kind, std::string_view guid);
    bool findEntity(std::string_view guid, Found& out);
    bool fetchEntity(std::string_view guid);
    bool findEnterprise(std::string_view guid, Found& out);
    bool fetchEnterprise(std::string_view guid);
    void linkEnterprise(std::string_view entity, std::string_view enterprise);
    bool findProductItem(std::string_view guid, Found& out);
    bool fetchProductItem(std::string_view guid);

    template <typename Record>
    store::TypedTable<Record>* opened(std::unique_ptr<store::TypedTable<Record>>& slot,
                                      const store::TableDef& def);

    store::Session& m_session;
    std::unique_ptr<store::TypedTable<store::RefsRecord>> m_refs;
    std::unique_ptr<store::TypedTable<store::EntityRecord>> m_entities;
    std::unique_ptr<store::TypedTable<store::EnterpriseRecord>> m_enterprises;
    std::unique_ptr<store::TypedTable<store::PlaceRecord>> m_places;
    std::unique_ptr<store::TypedTable<store::ProductRecord>> m_products;
    vetis::ExchangeContext& m_context;
    std::string m_entityGuid;
    std::unordered_map<std::string, Found> m_found; // "<table><kind>:<guid>" -> what was stored
    std::set<std::string> m_unavailable;            // keys the service could not give
};

} // namespace responses
