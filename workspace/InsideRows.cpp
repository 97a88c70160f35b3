// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/InsideRows.h"

#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "store/tables/Enterprise.h"
#include "store/tables/Inside.h"
#include "store/tables/Vsd.h"
#include "workspace/CodeTexts.h"
#include "workspace/SearchMask.h"

#include <QTime>

#include <algorithm>
#include <array>

namespace workspace {

namespace {

constexpr InsideColumn kBatchColumns[] = {
    {u"Идентификатор производственной партии продукции", u"", 120, false, false},
};

constexpr InsideColumn kDocumentColumns[] = {
    {u"Серия", u"", 40, false, false},
    {u"№", u"", 40, false, false},
    {u"Дата", u"", 10, false, true},
    {u"Тип документа", u"", 120, false, false},
    {u"Тип отношения между документами", u"", 120, false, false},
};

constexpr InsideColumn kProducerColumns[] = {
    {u"Наименование", u"", 250, false, false},
    {u"Роль", u"", 120, false, false},
    {u"GUID предприятия", u"", 36, false, false},
};

constexpr InsideColumn kPackageColumns[] = {
    {u"Уровень", u"", 40, true, false},
    {u"Наименование вида упаковки", u"", 250, false, false},
    {u"ID", u"", 40, false, false},
    {u"Кол-во", u"", 40, false, false},
    {u"Тип кода", u"Маркировка партии продукции", 40, false, false},
    {u"Значение кода маркировки", u"Маркировка партии продукции", 250, false, false},
    {u"GUID вида упаковки", u"", 36, false, false},
};

constexpr InsideColumn kConditionColumns[] = {
    {u"Формулировка соблюдаемого условия", u"", 250, false, false},
    {u"GUID условия регионализации", u"", 36, false, false},
};

constexpr InsideColumn kResearchColumns[] = {
    {u"Название организации оператора", u"", 250, false, false},
    {u"Показатель безопасности", u"", 250, false, false},
    {u"Заключение", u"", 250, false, false},
};

constexpr InsideColumn kStatusColumns[] = {
    {u"Дата", u"", 10, true, true},
    {u"Время", u"", 8, true, true},
    {u"Установлен статус ВСД", u"", 120, false, false},
    {u"Причина аннулирования", u"", 250, false, false},
    {u"ФИО", u"Пользователь, изменивший статус ВСД", 250, false, false},
    {u"Организация", u"Пользователь, изменивший статус ВСД", 250, false, false},
    {u"Должность", u"Пользователь, изменивший статус ВСД", 120, false, false},
    {u"Телефон", u"Контактные реквизиты", 40, false, false},
    {u"E-Mail", u"Контактные реквизиты", 40, false, false},
    {u"Адрес", u"Контактные реквизиты", 250, false, false},
};

constexpr InsideColumn kRouteColumns[] = {
    {u"№", u"", 6, true, true},
    {u"Точка маршрута / пункт перегрузки", u"", 250, false, false},
    {u"Перегрузка", u"", 3, false, false},
    {u"Адрес", u"", 250, false, false},
    {u"GUID точки маршрута", u"", 36, false, false},
};

constexpr InsideColumn kImmunizationColumns[] = {
    {u"Дата", u"Событие", 10, false, true},
    {u"ID", u"Событие", 120, false, false},
    {u"Тип", u"Событие", 120, false, false},
    {u"Заболевание", u"", 250, false, false},
    {u"Наименование", u"Препарат / вакцина", 250, false, false},
    {u"Серия", u"Препарат / вакцина", 250, false, false},
    {u"Срок", u"Препарат / вакцина", 10, false, true},
    {u"Дополнительные сведения", u"", 250, false, false},
};

const std::array<std::span<const InsideColumn>, kInsideKindCount> kKindColumns{{
    kBatchColumns,
    kDocumentColumns,
    kProducerColumns,
    kPackageColumns,
    kConditionColumns,
    kResearchColumns,
    kStatusColumns,
    kRouteColumns,
    kImmunizationColumns,
}};

constexpr const char16_t* kKindTexts[kInsideKindCount] = {
    u" 1. Идентификаторы производственных партий продукции",
    u" 2. Сопроводительные документы",
    u" 3. Предприятия - производители продукции",
    u" 4. Физическая упаковка",
    u" 5. Подтверждение соблюдаемых условий перемещения продукции",
    u" 6. Сведения о проведенных лабораторных исследованиях",
    u" 7. Сведения об установлении статуса ВСД",
    u" 8. Сведения о маршруте следования (пунктах перегрузки)",
    u" 9. Сведения о проведенной обработке / иммунизации животных",
};

constexpr const char16_t* kListTips[kInsideKindCount] = {
    u"Список производственных партий продукции",
    u"Список сопроводительных ТТН",
    u"Производители продукции",
    u"Список физической упаковки",
    u"Список подтверждений соблюдаемых условий перемещения продукции",
    u"Список сведений о проведенных лабораторных исследованиях",
    u"Список сведений об установлении статуса ВСД",
    u"Сведения о маршруте следования (пунктах перегрузки)",
    u"Сведения о проведенной обработке / иммунизации животных",
};

bool validKind(int kind)
{
    return kind >= 1 && kind <= kInsideKindCount;
}

QString insideText(std::string_view cp1251)
{
    return platform::fromCp1251(store::clip(cp1251));
}

InsideCell textCell(std::string_view cp1251)
{
    return {insideText(cp1251), 0};
}

InsideCell textCell(QString text)
{
    return {std::move(text), 0};
}

InsideCell dayCell(std::int32_t day)
{
    return {platform::formatDay(day), day};
}

InsideCell timeCell(std::int32_t time)
{
    return {platform::formatTime(time), time};
}

// A whole number, blank for 0.
InsideCell countCell(std::int32_t n)
{
    return {n == 0 ? QString() : QString::number(n), n};
}

void appendUpper(std::string& out, const QString& text)
{
    const std::string bytes = platform::toCp1251(text);
    for (char c : bytes)
        out += upperCp1251(c);
}

} // namespace

std::span<const InsideColumn> insideColumns(int kind)
{
    if (!validKind(kind))
        return {};
    return kKindColumns[static_cast<std::size_t>(kind - 1)];
}

QString insideKindText(int kind)
{
    return validKind(kind) ? QString::fromUtf16(kKindTexts[kind - 1]) : QString();
}

QString insideListTip(int kind)
{
    return validKind(kind) ? QString::fromUtf16(kListTips[kind - 1]) : QString();
}

QString insideHeaderText(const store::VsdRecord& vsd)
{
    const QString series = insideText(store::ztextOf(vsd.ISSUESERIES));
    const QString number = insideText(store::ztextOf(vsd.ISSUENUMBER));
    QString issue;
    if (!series.isEmpty() && !number.isEmpty())
        issue = series + QStringLiteral(" / ") + number;
    else
        issue = series + number;
    QString text = QStringLiteral("ВСД ");
    text += issue.isEmpty() ? QStringLiteral("Б/Н") : QStringLiteral("№ ") + issue;
    text += QStringLiteral(" от ") + platform::formatDay(vsd.DATE);
    text += QStringLiteral(" г., UUID: ") + insideText(store::textOf(vsd.UUID));
    return text.left(255);
}

std::int32_t stampDay(std::string_view stamp)
{
    return stamp.size() >= 10 ? platform::dayFromIso(stamp.substr(0, 10)) : 0;
}

std::int32_t stampTime(std::string_view stamp)
{
    if (stamp.size() < 19)
        return 0;
    const QTime time =
        QTime::fromString(QString::fromLatin1(stamp.substr(11, 8)), QStringLiteral("HH:mm:ss"));
    return platform::timeNumber(time);
}

QString packageLevelText(int level)
{
    static constexpr const char16_t* kLevels[] = {
        u"1. Внутренний уровень", u"2. Потребительский уровень", u"3. Промежуточный уровень",
        u"4. Торговый уровень",   u"5. Дополнительный уровень",  u"6. Транспортный уровень",
    };
    if (level >= 1 && level <= 6)
        return QString::fromUtf16(kLevels[level - 1]);
    return QString::number(level);
}

QString statusChangeText(std::string_view code)
{
    const std::string_view c = store::clip(code);
    if (c == "CONFIRMED")
        return QStringLiteral(
            "Оформлен. Действующий сертификат, по которому разрешено совершать транзакцию с грузом");
    if (c == "WITHDRAWN")
        return QStringLiteral("Аннулирован. Не действующий более сертификат");
    if (c == "UTILIZED")
        return QStringLiteral("Погашен. Действующий сертификат, по которому транзакция уже была совершена");
    if (c == "FINALIZED")
        return QStringLiteral("Закрыт. Действующий производственный сертификат");
    return QStringLiteral("?"
                          "??");
}

// Enterprise names.

LocalEnterpriseNames::LocalEnterpriseNames(store::Session& session)
    : m_session(session)
{}

LocalEnterpriseNames::~LocalEnterpriseNames() = default;

QString LocalEnterpriseNames::nameOf(std::string_view guid)
{
    guid = store::clip(guid);
    if (guid.size() != 36)
        return QStringLiteral("<Нет GUID площадки>");
    const std::string key(guid);
    if (const auto it = m_names.find(key); it != m_names.end())
        return it->second;
    if (!m_tried) {
        m_tried = true;
        auto table =
            std::make_unique<store::TypedTable<store::EnterpriseRecord>>(m_session, store::enterpriseTable());
        if (table->open() == store::kOk)
            m_table = std::move(table);
    }
    QString name = QStringLiteral("<Нет в справочнике площадок>");
    if (m_table) {
        m_table->clear();
        store::setText(m_table->rec().GUID, guid);
        if (m_table->fetch("MEP:BYGUID") == store::kOk)
            name = platform::fromCp1251(store::withoutLeadingBlanks(store::textOf(m_table->rec().NAME)));
    }
    return m_names[key] = name;
}

// Rows.

InsideRow insideRow(int kind, const store::InsideRecord& r, LocalEnterpriseNames& names)
{
    InsideRow row;
    row.number = r.NUMBER;
    std::vector<InsideCell>& c = row.cells;
    switch (kind) {
    case 1:
        c.push_back(textCell(store::ztextOf(r.STR120_01)));
        break;
    case 2:
        c.push_back(textCell(store::ztextOf(r.STR40_01)));
        c.push_back(textCell(store::ztextOf(r.STR40_02)));
        c.push_back(dayCell(r.LONG_01));
        c.push_back(textCell(
            documentTypeText(r.BYTE_01, UnknownCode::prefixed(QStringLiteral("Неизвестный тип ТТН: ")))));
        c.push_back(textCell(
            relationText(r.BYTE_02, UnknownCode::prefixed(QStringLiteral("Неизвестный тип отношения: ")))));
        break;
    case 3: {
        QString name = insideText(store::ztextOf(r.STR250_01));
        if (name.trimmed().isEmpty())
            name = names.nameOf(store::textOf(r.GUID1));
        c.push_back(textCell(std::move(name)));
        c.push_back(textCell(roleText(store::ztextOf(r.STR40_01))));
        c.push_back(textCell(store::textOf(r.GUID1)));
        break;
    }
    case 4:
        c.push_back(textCell(packageLevelText(r.BYTE_01)));
        c.back().number = r.BYTE_01;
        c.push_back(textCell(store::ztextOf(r.STR250_01)));
        c.push_back(textCell(store::ztextOf(r.STR40_01)));
        c.push_back(textCell(store::ztextOf(r.STR40_02)));
        c.push_back(textCell(store::ztextOf(r.STR40_03)));
        c.push_back(textCell(store::ztextOf(r.STR250_02)));
        c.push_back(textCell(store::textOf(r.GUID1)));
        break;
    case 5:
        c.push_back(textCell(store::ztextOf(r.STR250_01)));
        c.push_back(textCell(store::textOf(r.GUID1)));
        break;
    case 6:
        c.push_back(textCell(store::ztextOf(r.STR250_01)));
        c.push_back(textCell(store::ztextOf(r.STR250_03)));
        c.push_back(textCell(store::ztextOf(r.STR250_04)));
        break;
    case 7: {
        const std::string_view stamp = store::ztextOf(r.STR40_03);
        c.push_back(dayCell(stampDay(stamp)));
        c.push_back(timeCell(stampTime(stamp)));
        c.push_back(textCell(statusChangeText(store::ztextOf(r.STR40_04))));
        c.push_back(textCell(store::ztextOf(r.STR250_03)));
        c.push_back(textCell(store::ztextOf(r.STR250_01)));
        c.push_back(textCell(store::ztextOf(r.STR250_02)));
        c.push_back(textCell(store::ztextOf(r.STR120_01)));
        c.push_back(textCell(store::ztextOf(r.STR40_01)));
        c.push_back(textCell(store::ztextOf(r.STR40_02)));
        c.push_back(textCell(store::ztextOf(r.STR250_04)));
        break;
    }
    case 8: {
        c.push_back(countCell(r.LONG_01));
        const std::string_view place = store::textOf(r.GUID2);
        c.push_back(
            textCell(place.size() == 36 ? names.nameOf(place) : insideText(store::ztextOf(r.STR250_01))));
        c.push_back(textCell(r.BYTE_01 == 1 ? QStringLiteral("Да") : QStringLiteral("Нет")));
        c.push_back(textCell(store::ztextOf(r.STR250_02)));
        c.push_back(textCell(store::textOf(r.GUID1)));
        break;
    }
    case 9:
        c.push_back(dayCell(r.LONG_01));
        c.push_back(textCell(store::ztextOf(r.STR120_01)));
        c.push_back(textCell(eventTypeText(store::ztextOf(r.STR40_01))));
        c.push_back(textCell(store::ztextOf(r.STR250_02)));
        c.push_back(textCell(store::ztextOf(r.STR250_03)));
        c.push_back(textCell(store::ztextOf(r.STR250_04)));
        c.push_back(dayCell(r.LONG_02));
        c.push_back(textCell(store::ztextOf(r.STR250_01)));
        break;
    default:
        break;
    }
    // The texts the mask looks at, one tab between columns, so that a mask
    // without stars does not run from one column into the next.
    for (const InsideCell& cell : c) {
        if (!row.searchText.empty())
            row.searchText += '\t';
        appendUpper(row.searchText, cell.text);
    }
    return row;
}

bool insideRowMatches(const InsideRow& row, const QString& mask)
{
    const SearchMask m(mask);
    return m.empty() || m.matchesUpper(row.searchText);
}

void sortInsideRows(std::vector<InsideRow>& rows, int column, bool descending)
{
    const bool byColumn =
        !rows.empty() && column >= 0 && column < static_cast<int>(rows.front().cells.size());
    if (!byColumn) {
        std::stable_sort(rows.begin(), rows.end(),
                         [](const InsideRow& a, const InsideRow& b) { return a.number < b.number; });
        return;
    }
    const auto col = static_cast<std::size_t>(column);
    // Upper case of each text once, not once per comparison.
    std::vector<std::pair<QString, std::size_t>> keys;
    keys.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        keys.emplace_back(rows[i].cells[col].text.toUpper(), i);
    const auto less = [&](const std::pair<QString, std::size_t>& a,
                          const std::pair<QString, std::size_t>& b) {
        const InsideRow& ra = rows[a.second];
        const InsideRow& rb = rows[b.second];
        const std::int64_t na = ra.cells[col].number, nb = rb.cells[col].number;
        int order = na < nb ? -1 : na > nb ? 1 : 0;
        if (order == 0)
            order = QString::compare(a.first, b.first);
        if (descending)
            order = -order;
        if (order != 0)
            return order < 0;
        return ra.number < rb.number;
    };
    std::sort(keys.begin(), keys.end(), less);
    std::vector<InsideRow> sorted;
    sorted.reserve(rows.size());
    for (const auto& k : keys)
        sorted.push_back(std::move(rows[k.second]));
    rows = std::move(sorted);
}

// Reading.

InsideReader::InsideReader(store::Session& session)
    : m_session(session)
    , m_names(session)
{}

InsideReader::~InsideReader() = default;

int InsideReader::readVsd(std::string_view uuid, store::VsdRecord& out)
{
    store::TypedTable<store::VsdRecord> vsds(m_session, store::vsdTable());
    int rc = vsds.open();
    if (rc == store::kFileNotFound)
        return store::kRecordNotFound;
    if (rc != store::kOk)
        return rc;
    vsds.clear();
    store::setText(vsds.rec().UUID, uuid);
    rc = vsds.fetch("MVD:BYUUID");
    if (rc == store::kOk)
        out = vsds.rec();
    return rc;
}

int InsideReader::readRows(std::string_view uuid, int kind, const QString& mask, std::vector<InsideRow>& out)
{
    out.clear();
    if (!validKind(kind))
        return store::kOk;
    if (!m_inside) {
        auto table =
            std::make_unique<store::TypedTable<store::InsideRecord>>(m_session, store::insideTable());
        const int rc = table->open();
        if (rc == store::kFileNotFound)
            return store::kOk;
        if (rc != store::kOk)
            return rc;
        m_inside = std::move(table);
    }
    auto& inside = *m_inside;
    const SearchMask m(mask);
    inside.clear();
    store::setText(inside.rec().UUID, uuid);
    inside.rec().VID = kind;
    int rc = inside.set("MIN:BYUUID", 2);
    if (rc != store::kOk)
        return rc;
    std::string wanted(store::clip(uuid));
    while ((rc = inside.next()) == store::kOk) {
        const store::InsideRecord& r = inside.rec();
        if (store::textOf(r.UUID) != wanted || r.VID != kind)
            break;
        InsideRow row = insideRow(kind, r, m_names);
        if (m.empty() || m.matchesUpper(row.searchText))
            out.push_back(std::move(row));
    }
    return rc == store::kRecordNotFound || rc == store::kOk ? store::kOk : rc;
}

} // namespace workspace
