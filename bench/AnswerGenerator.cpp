// SPDX-License-Identifier: LicenseRef-Kestrom
#include "AnswerGenerator.h"

#include <array>
#include <cstdio>
#include <random>
#include <string_view>
#include <vector>

namespace bench {

namespace {

enum Ns
{
    Soap,
    ApplDef,
    Apl,
    Merc,
    Vd,
    Dt,
    Bs,
    NsCount
};

constexpr std::array<std::string_view, NsCount> kUris{
    "http://schemas.xmlsoap.org/soap/envelope/",
    "http://api.vetrf.ru/schema/cdm/application/ws-definitions",
    "http://api.vetrf.ru/schema/cdm/application",
    "http://api.vetrf.ru/schema/cdm/mercury/g2b/applications/v2",
    "http://api.vetrf.ru/schema/cdm/mercury/vet-document/v2",
    "http://api.vetrf.ru/schema/cdm/dictionary/v2",
    "http://api.vetrf.ru/schema/cdm/base",
};
constexpr std::array<std::string_view, NsCount> kUsual{"soapenv", "apldef", "apl", "merc", "vd", "dt", "bs"};
// The order in which a generating toolkit meets the namespaces.
constexpr std::array<std::string_view, NsCount> kGenerated{"ns1", "ns2", "ns3", "ns4", "ns5", "ns6", "ns7"};

class Writer
{
public:
    Writer(PrefixStyle style, bool indented)
        : m_style(style)
        , m_indented(indented)
    {}

    void open(Ns ns, std::string_view local, std::string_view attributes = {})
    {
        startTag(ns, local, attributes);
        m_out += '>';
        m_stack.push_back({ns, local});
    }
    void close()
    {
        const Open o = m_stack.back();
        m_stack.pop_back();
        indent();
        m_out += "</";
        name(o.ns, o.local);
        m_out += '>';
    }
    void leaf(Ns ns, std::string_view local, std::string_view text, std::string_view attributes = {})
    {
        startTag(ns, local, attributes);
        m_out += '>';
        for (char c : text) {
            if (c == '<')
                m_out += "&lt;";
            else if (c == '&')
                m_out += "&amp;";
            else
                m_out += c;
        }
        m_out += "</";
        name(ns, local);
        m_out += '>';
    }
    void closeAll()
    {
        while (!m_stack.empty())
            close();
    }
    std::string& text() { return m_out; }

private:
    struct Open
    {
        Ns ns;
        std::string_view local;
    };

    void indent()
    {
        if (!m_indented)
            return;
        m_out += '\n';
        m_out.append(2 * m_stack.size(), ' ');
    }
    void name(Ns ns, std::string_view local)
    {
        if (m_style != PrefixStyle::Default) {
            m_out += m_style == PrefixStyle::Usual ? kUsual[ns] : kGenerated[ns];
            m_out += ':';
        }
        m_out += local;
    }
    void startTag(Ns ns, std::string_view local, std::string_view attributes)
    {
        if (!m_stack.empty() || !m_out.empty())
            indent();
        m_out += '<';
        name(ns, local);
        if (m_stack.empty()) {
            if (m_style == PrefixStyle::Default) {
                declareDefault(ns);
            } else {
                for (int i = 0; i < NsCount; ++i) {
                    m_out += " xmlns:";
                    m_out += m_style == PrefixStyle::Usual ? kUsual[i] : kGenerated[i];
                    m_out += "=\"";
                    m_out += kUris[i];
                    m_out += '"';
                }
            }
        } else if (m_style == PrefixStyle::Default && m_stack.back().ns != ns) {
            declareDefault(ns);
        }
        m_out += attributes;
    }
    void declareDefault(Ns ns)
    {
        m_out += " xmlns=\"";
        m_out += kUris[ns];
        m_out += '"';
    }

    PrefixStyle m_style;
    bool m_indented;
    std::string m_out;
    std::vector<Open> m_stack;
};

class Content
{
public:
    Content(std::uint32_t seed, int suppliers)
        : m_random(seed)
        , m_suppliers(suppliers)
    {}
    // The supplier of the document being written.
    void nextDocument()
    {
        if (m_suppliers > 0)
            m_supplier = number(0, m_suppliers - 1);
    }
    // The receiver's own name of a kind.
    std::string ownName(std::string_view pool) { return m_suppliers > 0 ? pooled(pool, 0) : guid(); }
    // One of `perSupplier` names of a kind the current supplier uses.
    std::string supplierName(std::string_view pool, int perSupplier)
    {
        return m_suppliers > 0 ? pooled(pool, m_supplier * perSupplier + number(0, perSupplier - 1)) : guid();
    }
    // One of `size` names of a kind everybody uses.
    std::string sharedName(std::string_view pool, int size)
    {
        return m_suppliers > 0 ? pooled(pool, number(0, size - 1)) : guid();
    }
    std::string guid()
    {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%08x-%04x-4%03x-%04x-%012llx", word(), word() & 0xffff,
                      word() & 0xfff, (word() & 0x3fff) | 0x8000,
                      static_cast<unsigned long long>(word()) << 16 | (word() & 0xffff));
        return buf;
    }
    int number(int from, int to) { return std::uniform_int_distribution<int>(from, to)(m_random); }
    std::string_view pick(std::initializer_list<std::string_view> choices)
    {
        return choices.begin()[static_cast<std::size_t>(number(0, static_cast<int>(choices.size()) - 1))];
    }

private:
    std::uint32_t word() { return static_cast<std::uint32_t>(m_random()); }
    // The same GUID for the same pool and index (FNV-1a of both).
    static std::string pooled(std::string_view pool, int index)
    {
        std::uint64_t h = 14695981039346656037ull;
        const auto mix = [&h](unsigned char byte) { h = (h ^ byte) * 1099511628211ull; };
        for (char ch : pool)
            mix(static_cast<unsigned char>(ch));
        for (int i = 0; i < 4; ++i)
            mix(static_cast<unsigned char>(static_cast<unsigned>(index) >> (8 * i)));
        const std::uint64_t g = h * 0x9E3779B97F4A7C15ull;
        char buf[40];
        std::snprintf(buf, sizeof buf, "%08x-%04x-4%03x-%04x-%012llx", static_cast<unsigned>(h >> 32),
                      static_cast<unsigned>(h >> 16) & 0xffff, static_cast<unsigned>(h) & 0xfff,
                      (static_cast<unsigned>(g >> 48) & 0x3fff) | 0x8000,
                      static_cast<unsigned long long>(g & 0xffffffffffffull));
        return buf;
    }
    std::mt19937 m_random;
    int m_suppliers;
    int m_supplier = 0;
};

std::string num(int n)
{
    return std::to_string(n);
}

void transportNumbers(Writer& w, Content& c)
{
    w.open(Vd, "transportNumber");
    w.leaf(Vd, "containerNumber", "MSCU" + num(c.number(1000000, 9999999)));
    w.leaf(Vd, "wagonNumber", num(c.number(50000000, 59999999)));
    w.leaf(Vd, "vehicleNumber", c.pick({"А123ВС163", "М777ОР77", "Х340КЕ50"}));
    w.leaf(Vd, "trailerNumber", c.pick({"АВ1234 63", "ЕК5521 77"}));
    w.leaf(Vd, "shipName", c.pick({"Капитан Хлебников", "Академик Фёдоров"}));
    w.leaf(Vd, "flightNumber", "SU" + num(c.number(100, 9999)));
    w.close();
}

void address(Writer& w, Content& c, bool full)
{
    w.open(Dt, "address");
    w.open(Dt, "country");
    w.leaf(Bs, "guid", "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b");
    w.leaf(Dt, "name", "Российская Федерация");
    w.close();
    w.open(Dt, "region");
    w.leaf(Bs, "guid", c.sharedName("region", 85));
    w.leaf(Dt, "name", c.pick({"Самарская область", "Московская область", "Мурманская область"}));
    w.close();
    if (full) {
        for (std::string_view level : {"district", "locality", "subLocality", "street"}) {
            w.open(Dt, level);
            w.leaf(Bs, "guid", c.guid());
            w.close();
        }
        w.leaf(Dt, "house", num(c.number(1, 120)));
        w.leaf(Dt, "building", num(c.number(1, 9)));
        w.leaf(Dt, "room", num(c.number(1, 300)));
    }
    w.leaf(Dt, "addressView",
           "443" + num(c.number(100, 999)) + ", Российская Федерация, " +
               std::string(c.pick(
                   {"г. Самара, ул. Мичурина", "г. Тольятти, ш. Южное", "г. Мурманск, ул. Траловая"})) +
               ", д. " + num(c.number(1, 99)));
    w.close();
}

void complexDate(Writer& w, Content& c, std::string_view element, int year)
{
    w.open(Vd, element);
    w.leaf(Dt, "year", num(year));
    w.leaf(Dt, "month", num(c.number(1, 12)));
    w.leaf(Dt, "day", num(c.number(1, 28)));
    w.leaf(Dt, "hour", num(c.number(0, 23)));
    w.close();
}

void goodsDate(Writer& w, Content& c, std::string_view element, int year)
{
    w.open(Vd, element);
    complexDate(w, c, "firstDate", year);
    complexDate(w, c, "secondDate", year);
    w.leaf(Vd, "informalDate", "с " + num(c.number(1, 28)) + " по " + num(c.number(1, 28)) + " число месяца");
    w.close();
}

void batch(Writer& w, Content& c)
{
    w.open(Vd, "batch");
    w.leaf(Vd, "productType", num(c.number(1, 8)));
    w.open(Vd, "product");
    w.leaf(Bs, "guid", c.guid());
    w.leaf(Dt, "name", c.pick({"Мясо", "Рыба мороженая", "Молочная продукция"}));
    w.close();
    w.open(Vd, "subProduct");
    w.leaf(Bs, "guid", c.guid());
    w.leaf(Dt, "name", c.pick({"Говядина охлажденная", "Треска мороженая", "Сыры твёрдые"}));
    w.close();
    w.open(Vd, "productItem");
    w.leaf(Bs, "guid", c.supplierName("productItem", 10));
    w.leaf(Dt, "globalID", "46" + num(c.number(10000000, 99999999)) + "123");
    w.leaf(Dt, "name",
           c.pick({"Говядина на кости, полутуши, охл.", "Треска б/г с/м, ГОСТ 32366-2013",
                   "Сыр \"Российский\" 50%, брус"}));
    w.leaf(Dt, "code", "ТУ 9211-" + num(c.number(100, 999)) + "-2019");
    w.open(Dt, "packaging");
    w.open(Dt, "packagingType");
    w.leaf(Bs, "guid", c.guid());
    w.leaf(Dt, "globalID", c.pick({"BX", "CT", "PK"}));
    w.leaf(Dt, "name", c.pick({"Коробка", "Картонная коробка", "Пакет"}));
    w.close();
    w.leaf(Dt, "quantity", num(c.number(1, 500)));
    w.leaf(Dt, "volume", num(c.number(1, 50)) + ".5");
    w.open(Dt, "unit");
    w.leaf(Bs, "guid", "21ed96c9-337b-4a27-8761-c6e6ad3c9f5b");
    w.leaf(Dt, "name", "кг");
    w.close();
    w.close();
    w.close();
    w.leaf(Vd, "volume", num(c.number(10, 20000)) + "." + num(c.number(0, 9)));
    w.open(Vd, "unit");
    w.leaf(Bs, "guid", "21ed96c9-337b-4a27-8761-c6e6ad3c9f5b");
    w.leaf(Dt, "name", "кг");
    w.close();
    goodsDate(w, c, "dateOfProduction", 2024);
    goodsDate(w, c, "expiryDate", 2025);
    w.leaf(Vd, "batchID", num(c.number(1000, 9999)) + "-2024");
    w.leaf(Vd, "batchID", "Партия " + num(c.number(1, 99)) + "/04");
    w.leaf(Vd, "perishable", c.pick({"true", "false"}));
    w.open(Vd, "origin");
    w.open(Vd, "productItem");
    w.leaf(Bs, "uuid", c.guid());
    w.leaf(Bs, "guid", c.guid());
    w.leaf(Dt, "globalID", "46" + num(c.number(10000000, 99999999)) + "777");
    w.leaf(Dt, "name", "Полутуши говяжьи");
    w.leaf(Dt, "code", "ГОСТ 34120-2017");
    w.close();
    w.open(Vd, "country");
    w.leaf(Bs, "guid", "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b");
    w.leaf(Dt, "name", "Российская Федерация");
    w.close();
    for (std::string_view role : {"SLAUGHTER_HOUSE", "CUTTING_PLANT"}) {
        w.open(Vd, "producer");
        w.open(Dt, "enterprise");
        w.leaf(Bs, "uuid", c.guid());
        w.leaf(Bs, "guid", c.supplierName("producer", 2));
        w.leaf(Dt, "name", c.pick({"Мясокомбинат \"Самарский\"", "Мурманский рыбокомбинат", "Бойня №3"}));
        w.close();
        w.leaf(Dt, "role", role);
        w.close();
    }
    w.close();
    w.leaf(Vd, "lowGradeCargo", "false");
    w.open(Vd, "packageList");
    for (int level : {4, 3}) {
        w.open(Dt, "package");
        w.leaf(Dt, "level", num(level));
        w.open(Dt, "packingType");
        w.leaf(Bs, "guid", c.guid());
        w.leaf(Dt, "globalID", c.pick({"BX", "CT"}));
        w.leaf(Dt, "name", c.pick({"Коробка", "Ящик деревянный"}));
        w.close();
        w.leaf(Dt, "quantity", num(c.number(1, 200)));
        w.leaf(Dt, "productMarks", num(c.number(100000, 999999)), " class=\"BATCHID\"");
        w.close();
    }
    w.close();
    w.open(Vd, "owner");
    w.leaf(Bs, "guid", c.supplierName("entity", 1));
    w.close();
    w.open(Vd, "applicableClassifications");
    w.leaf(Vd, "nonFoodSource", "NONE");
    w.close();
    w.close();
}

void routePoint(Writer& w, Content& c, int sqn)
{
    w.open(Vd, "routePoint");
    w.leaf(Bs, "uuid", c.guid());
    w.leaf(Vd, "sqnId", num(sqn));
    w.open(Vd, "location");
    w.leaf(Dt, "name",
           c.pick({"Склад временного хранения", "Терминал \"Восточный\"", "Пункт перегрузки №2"}));
    address(w, c, true);
    w.close();
    w.open(Vd, "enterprise");
    w.leaf(Bs, "uuid", c.guid());
    w.leaf(Bs, "guid", c.supplierName("routePoint", 3));
    w.close();
    w.leaf(Vd, "transshipment", sqn == 1 ? "false" : "true");
    w.open(Vd, "nextTransport");
    w.leaf(Vd, "transportType", num(c.number(1, 4)));
    transportNumbers(w, c);
    w.close();
    w.close();
}

void consignment(Writer& w, Content& c)
{
    w.open(Vd, "certifiedConsignment");
    for (std::string_view side : {"consignor", "consignee"}) {
        const bool own = side == "consignee";
        w.open(Vd, side);
        w.open(Dt, "businessEntity");
        w.leaf(Bs, "guid", own ? c.ownName("entity") : c.supplierName("entity", 1));
        w.close();
        w.open(Dt, "enterprise");
        w.leaf(Bs, "guid", own ? c.ownName("enterprise") : c.supplierName("enterprise", 1));
        w.close();
        w.close();
    }
    w.open(Vd, "broker");
    w.leaf(Bs, "guid", c.supplierName("entity", 1));
    w.close();
    w.open(Vd, "transportInfo");
    w.leaf(Vd, "transportType", "1");
    transportNumbers(w, c);
    w.close();
    w.leaf(Vd, "transportStorageType", c.pick({"FROZEN", "CHILLED", "COOLED", "VENTILATED"}));
    w.open(Vd, "shipmentRoute");
    for (int sqn = 1; sqn <= 3; ++sqn)
        routePoint(w, c, sqn);
    w.close();
    batch(w, c);
    w.close();
}

void authentication(Writer& w, Content& c)
{
    w.open(Vd, "authentication");
    w.open(Vd, "purpose");
    w.leaf(Bs, "guid", c.guid());
    w.leaf(Dt, "name", "Реализация в пищу людям");
    w.close();
    w.leaf(Vd, "cargoInspected", "true");
    w.leaf(Vd, "cargoExpertized", c.pick({"VSEFULL", "UNFULFILLED", "VSERAW"}));
    w.leaf(Vd, "locationProsperity", "Местность благополучна по заразным болезням животных");
    w.leaf(Vd, "animalSpentPeriod", "FROM_BIRTH");
    w.leaf(Vd, "monthsSpent", num(c.number(1, 36)));
    for (int i = 0; i < 2; ++i) {
        w.open(Vd, "laboratoryResearch");
        w.leaf(Vd, "ID", "ЛИ-" + num(c.number(1000, 9999)));
        w.leaf(Vd, "type", "LBR");
        w.leaf(Vd, "actualDateTime", "2024-05-0" + num(c.number(1, 9)) + "T00:00:00+03:00");
        w.open(Vd, "operator");
        w.leaf(Dt, "name", "ФГБУ \"Самарская МВЛ\"");
        w.close();
        w.open(Vd, "referencedDocument");
        w.leaf(Vd, "issueNumber", num(c.number(10, 99)) + "-34/" + num(c.number(100, 999)));
        w.leaf(Vd, "issueDate", "2024-05-06");
        w.leaf(Vd, "type", "7");
        w.close();
        w.leaf(Vd, "notes", "Отбор проб проведён в присутствии владельца");
        w.leaf(Vd, "expertiseID", num(c.number(10, 99)) + "-34/567");
        if (i == 0) {
            w.open(Vd, "indicator");
            w.leaf(Bs, "guid", c.guid());
            w.leaf(Dt, "name", "Listeria monocytogenes");
            w.close();
        } else {
            w.open(Vd, "disease");
            w.leaf(Bs, "guid", c.guid());
            w.leaf(Dt, "name", "ящур");
            w.close();
        }
        w.open(Vd, "method");
        w.leaf(Bs, "guid", c.guid());
        w.leaf(Dt, "name", "ГОСТ 32031-2012");
        w.close();
        w.leaf(Vd, "result", "NEGATIVE");
        w.leaf(Vd, "conclusion", "не обнаружено");
        w.close();
    }
    w.open(Vd, "quarantine");
    w.open(Vd, "location");
    w.leaf(Dt, "name", "Карантинная площадка хозяйства");
    w.close();
    w.leaf(Vd, "duration", num(c.number(7, 30)));
    w.close();
    for (int i = 0; i < 2; ++i) {
        w.open(Vd, "immunization");
        w.leaf(Vd, "ID", "ВАК-" + num(c.number(100, 999)));
        w.leaf(Vd, "type", "IMM");
        w.leaf(Vd, "actualDateTime", "2024-02-15T00:00:00+03:00");
        w.leaf(Vd, "notes", "Вакцинация плановая");
        w.open(Vd, "disease");
        w.leaf(Bs, "guid", c.guid());
        w.leaf(Dt, "name", c.pick({"ящур", "бешенство", "сибирская язва"}));
        w.close();
        w.open(Vd, "medicinalDrug");
        w.leaf(Dt, "name", "Вакцина против ящура инактивированная");
        w.leaf(Dt, "series", "0" + num(c.number(100, 999)));
        w.close();
        w.leaf(Vd, "effectiveBeforeDate", "2024-08-15T00:00:00+03:00");
        w.close();
    }
    for (int i = 0; i < 2; ++i) {
        w.open(Vd, "r13nClause");
        w.open(Vd, "condition");
        w.leaf(Bs, "uuid", c.guid());
        w.leaf(Bs, "guid", c.guid());
        w.leaf(Dt, "text",
               i == 0 ? "Продукция получена от убоя животных, не подвергавшихся воздействию природных "
                        "или искусственных стимуляторов роста."
                      : "Животные происходят из хозяйств, благополучных по ящуру в течение последних "
                        "12 месяцев.");
        w.close();
        w.close();
    }
    w.leaf(Vd, "specialMarks", "Без особых отметок");
    w.close();
}

void statusChange(Writer& w, Content& c, std::string_view status, bool withReason)
{
    w.open(Vd, "statusChange");
    w.leaf(Vd, "status", status);
    w.open(Vd, "specifiedPerson");
    w.leaf(Bs, "uuid", c.guid());
    w.leaf(Vd, "fio", c.pick({"Иванова Мария Петровна", "Сидоров Пётр Ильич", "Кузнецова Анна Сергеевна"}));
    w.leaf(Vd, "workPhone",
           "+7 846 " + num(c.number(100, 999)) + "-" + num(c.number(10, 99)) + "-" + num(c.number(10, 99)));
    w.leaf(Vd, "workEmail", "vet" + num(c.number(1, 999)) + "@example.ru");
    w.open(Vd, "organization");
    w.leaf(Dt, "name", "ГБУ СО \"Самарское СББЖ\"");
    address(w, c, false);
    w.close();
    w.leaf(Vd, "post", "Ветеринарный врач");
    w.close();
    w.leaf(Vd, "actualDateTime", "2024-05-11T08:55:41+03:00");
    if (withReason)
        w.leaf(Vd, "reason", "Выявлена ошибка в сведениях о продукции");
    w.close();
}

void vetDocument(Writer& w, Content& c, int index)
{
    w.open(Vd, "vetDocument");
    w.leaf(Bs, "uuid", c.guid());
    w.leaf(Vd, "issueSeries", c.pick({"ТТА", "ВСД"}));
    w.leaf(Vd, "issueNumber", num(100000 + index));
    w.leaf(Vd, "issueDate", "2024-05-" + std::string(index % 28 < 9 ? "0" : "") + num(index % 28 + 1));
    w.leaf(Vd, "vetDForm", c.pick({"CERTCU1", "LIC2", "CERTCU2"}));
    w.leaf(Vd, "vetDType", c.pick({"INCOMING", "TRANSPORT"}));
    w.leaf(Vd, "vetDStatus", c.pick({"CONFIRMED", "UTILIZED", "WITHDRAWN"}));
    w.leaf(Vd, "finalized", c.pick({"true", "false"}));
    w.leaf(Vd, "lastUpdateDate", "2024-05-11T09:11:05+03:00");
    consignment(w, c);
    authentication(w, c);
    for (int i = 0; i < 2; ++i) {
        w.open(Vd, "referencedDocument");
        w.leaf(Vd, "issueSeries", "ТТН");
        w.leaf(Vd, "issueNumber", num(c.number(1, 99999)));
        w.leaf(Vd, "issueDate", "2024-05-11");
        w.leaf(Vd, "type", i == 0 ? "1" : "5");
        w.leaf(Vd, "relationshipType", num(i + 1));
        w.close();
    }
    statusChange(w, c, "CONFIRMED", false);
    statusChange(w, c, "WITHDRAWN", true);
    w.close();
}

} // namespace

std::string generateVsdAnswer(const AnswerOptions& options)
{
    Writer w(options.style, options.indented);
    Content c(options.seed, options.suppliers);
    w.text().reserve(static_cast<std::size_t>(options.documents) * (options.indented ? 24000u : 15000u) +
                     4096u);
    w.text() = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    w.open(Soap, "Envelope");
    w.open(Soap, "Header");
    w.close();
    w.open(Soap, "Body");
    w.open(ApplDef, "receiveApplicationResultResponse");
    w.open(Apl, "application");
    w.leaf(Apl, "applicationId", c.guid());
    w.leaf(Apl, "status", "COMPLETED");
    w.leaf(Apl, "serviceId", "mercury-g2b.service:2.1");
    w.leaf(Apl, "issuerId", c.guid());
    w.leaf(Apl, "issueDate", "2024-05-15T10:20:30+03:00");
    w.leaf(Apl, "rcvDate", "2024-05-15T10:20:31.512+03:00");
    w.leaf(Apl, "prdcRsltDate", "2024-05-15T10:20:33.004+03:00");
    w.open(Apl, "result");
    w.open(Merc, "getVetDocumentListResponse");
    const int total = options.total > 0 ? options.total : options.documents;
    w.open(Vd, "vetDocumentList",
           " count=\"" + num(options.documents) + "\" total=\"" + num(total) + "\" offset=\"0\" hasMore=\"" +
               (total > options.documents ? "true" : "false") + "\"");
    for (int i = 0; i < options.documents; ++i) {
        c.nextDocument();
        vetDocument(w, c, i);
    }
    w.closeAll();
    return std::move(w.text());
}

namespace {

// The envelope declares the prefixes of the VSD list, so that resolving them
// reaches past every declaration the shape makes.
std::string envelopeStart()
{
    return "<soapenv:Envelope xmlns:soapenv=\"" + std::string(kUris[Soap]) + "\" xmlns:vd=\"" +
           std::string(kUris[Vd]) + "\" xmlns:bs=\"" + std::string(kUris[Bs]) + "\"><soapenv:Body>";
}

std::string shapeVsdList()
{
    return std::string("<vd:vetDocumentList count=\"1\"><vd:vetDocument><bs:uuid>") + kDeclarationShapesUuid +
           "</bs:uuid></vd:vetDocument></vd:vetDocumentList>";
}

} // namespace

std::string generateNestedDeclarations(int elements, std::string_view localName)
{
    std::string out = envelopeStart();
    out.reserve(static_cast<std::size_t>(elements) * (40u + 2 * localName.size()) + 1024u);
    const std::string name = "p1:" + std::string(localName);
    for (int i = 1; i <= elements; ++i)
        out += "<" + name + " xmlns:p" + num(i) + "=\"urn:x:" + num(i % 97) + "\">";
    out += shapeVsdList();
    for (int i = elements; i >= 1; --i)
        out += "</" + name + ">";
    out += "</soapenv:Body></soapenv:Envelope>";
    return out;
}

std::string generateWideDeclarations(int elements)
{
    std::string out = envelopeStart();
    out.reserve(static_cast<std::size_t>(elements) * 48u + 1024u);
    out += "<p1:wide";
    for (int i = 1; i <= elements; ++i)
        out += " xmlns:p" + num(i) + "=\"urn:x:" + num(i % 97) + "\"";
    out += ">";
    for (int i = 1; i <= elements; ++i)
        out += "<p1:c xmlns:q" + num(i) + "=\"urn:y\">" + num(i) + "</p1:c>";
    out += shapeVsdList();
    out += "</p1:wide></soapenv:Body></soapenv:Envelope>";
    return out;
}

} // namespace bench
