// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/VsdListColumns.h"

#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/RecordText.h"
#include "store/tables/Vsd.h"
#include "workspace/CodeTexts.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

namespace workspace::ui {

namespace {

// Every column's text, in the order of the table below.
enum Column
{
    cSelection,
    cExpiry,
    cSeries,
    cNumber,
    cDate,
    cType,
    cStatus,
    cUpdateDate,
    cUpdateTime,
    cProduct,
    cGtin,
    cVolume,
    cFact,
    cUnit,
    cProDate1,
    cProHour1,
    cProDate2,
    cProHour2,
    cProText,
    cExpDate1,
    cExpHour1,
    cExpDate2,
    cExpHour2,
    cExpText,
    cShelfLife,
    cReservePercent,
    cReserveDays,
    cPerishable,
    cConsignor,
    cConsignorInn,
    cConsignorPlace,
    cPackQuantity,
    cPackName,
    cPackVolume,
    cPackUnit,
    cItemGuid,
    cItemCode,
    cTtnSeries,
    cTtnNumber,
    cTtnDate,
    cTtnType,
    cTtnRelation,
    cTransportType1,
    cTransportNumber1,
    cStorage,
    cTransportType2,
    cTransportNumber2,
    cUuid,
    cForm,
    cCondition,
    cAppStatus,
    cAppId,
    cAppError,
    cColumnCount
};

using K = ColumnKind;
constexpr std::array<VsdColumn, cColumnCount> kColumns{{
    {u"", u"", nullptr, K::SelectionIcon, 2, false},
    {u"", u"!", "MVD:MARK", K::ExpiryIcon, 2, false},
    {u"Бланк ВСД", u"Серия", "MVD:ISSUESERIES", K::Text, 6, false},
    {u"Бланк ВСД", u"№", "MVD:ISSUENUMBER", K::Text, 10, false},
    {u"Бланк ВСД", u"Дата", "MVD:DATE", K::Text, 11, false},
    {u"Бланк ВСД", u"Тип", "MVD:VETDTYPE", K::Text, 12, false},
    {u"Установлено состояние ВСД", u"Статус", "MVD:CODSTATUS", K::Text, 13, false},
    {u"Установлено состояние ВСД", u"Дата", "MVD:UPDATEDATE", K::Text, 11, false},
    {u"Установлено состояние ВСД", u"Время", "MVD:UPDATETIME", K::Text, 9, false},
    {u"Продукция", u"Наименование", "MVD:PRODITEMNAME", K::Text, 40, false},
    {u"Продукция", u"GTIN", "MVD:PRODITEMGTIN", K::Text, 14, false},
    {u"Объём", u"По ВСД", "MVD:VOLUME", K::Text, 12, true},
    {u"Объём", u"Факт", "MVD:KOLVO", K::Text, 12, true},
    {u"Объём", u"Ед.", "MVD:UNITNAME", K::Text, 6, false},
    {u"Выработка продукции", u"с", "MVD:PRODATE1", K::Text, 11, false},
    {u"Выработка продукции", u"час", "MVD:PROHOUR1", K::Text, 4, true},
    {u"Выработка продукции", u"по", "MVD:PRODATE2", K::Text, 11, false},
    {u"Выработка продукции", u"час", "MVD:PROHOUR2", K::Text, 4, true},
    {u"Выработка продукции", u"Текст", "MVD:PROINFORMALDATE", K::Text, 20, false},
    {u"Срок годности продукции", u"с", "MVD:EXPDATE1", K::Text, 11, false},
    {u"Срок годности продукции", u"час", "MVD:EXPHOUR1", K::Text, 4, true},
    {u"Срок годности продукции", u"по", "MVD:EXPDATE2", K::Text, 11, false},
    {u"Срок годности продукции", u"час", "MVD:EXPHOUR2", K::Text, 4, true},
    {u"Срок годности продукции", u"Текст", "MVD:EXPINFORMALDATE", K::Text, 20, false},
    {u"Срок годности продукции", u"В днях", "MVD:ACTUALSROK", K::Text, 7, true},
    {u"Запас срока по ВСД", u"В %", "MVD:RESERVEPROC", K::Text, 7, true},
    {u"Запас срока по ВСД", u"В днях", "MVD:RESERVEDAY", K::Text, 7, true},
    {u"Запас срока по ВСД", u"СПГ", "MVD:PERISHABLE", K::Text, 4, false},
    {u"Отправитель продукции", u"ХС", "MVD:CONSIGNORNAME", K::Text, 30, false},
    {u"Отправитель продукции", u"ИНН", "MVD:CONSIGNORINN", K::Text, 12, false},
    {u"Отправитель продукции", u"Площадка", "MVD:CONSIGNORPLACE", K::Text, 30, false},
    {u"Упаковка", u"Кол-во", "MVD:PACKQUANTITY", K::Text, 7, true},
    {u"Упаковка", u"Наименование", "MVD:PACKNAME", K::Text, 16, false},
    {u"Одна упаковка", u"Объём", "MVD:PACKVOLUME", K::Text, 8, false},
    {u"Одна упаковка", u"Ед. измерения", "MVD:PACKUNITNAME", K::Text, 10, false},
    {u"Номенклатура производителя", u"GUID", "MVD:PRODITEMGUID", K::Text, 36, false},
    {u"Номенклатура производителя", u"Артикул (код)", "MVD:PRODITEMCODE", K::Text, 14, false},
    {u"Товарно-транспортный документ", u"Серия", "MVD:TTN_SERIES", K::Text, 6, false},
    {u"Товарно-транспортный документ", u"№", "MVD:TTN_NUMBER", K::Text, 10, false},
    {u"Товарно-транспортный документ", u"Дата", "MVD:TTN_ORVDATE", K::Text, 11, false},
    {u"Товарно-транспортный документ", u"Тип", "MVD:TTN_TYPE", K::Text, 20, false},
    {u"Товарно-транспортный документ", u"Отношение между документами", "MVD:TTN_RELTYPE", K::Text, 24, false},
    {u"Транспорт (основной)", u"Тип", "MVD:TRANSPORTTYPE1", K::Text, 12, false},
    {u"Транспорт (основной)", u"№", "MVD:VEHICLENUMBER1", K::Text, 20, false},
    {u"Транспорт (основной)", u"Способ хранения", "MVD:TRSTORAGETYPE", K::Text, 14, false},
    {u"Транспорт (перегрузка)", u"Тип", "MVD:TRANSPORTTYPE2", K::Text, 12, false},
    {u"Транспорт (перегрузка)", u"№", "MVD:VEHICLENUMBER2", K::Text, 20, false},
    {u"", u"UUID ВСД", "MVD:UUID", K::Text, 36, false},
    {u"", u"Форма ВСД", "MVD:VETDFORM", K::Text, 20, false},
    {u"Заявка на гашение / возврат", u"Вид", "MVD:CONDITION", K::Text, 4, true},
    {u"Заявка на гашение / возврат", u"Статус", "MVD:APPSTATUS", K::Text, 12, false},
    {u"Заявка на гашение / возврат", u"ID задания", "MVD:APPID", K::Text, 36, false},
    {u"", u"Информация по обработке запроса сервисом", "MVD:APPERROR", K::Text, 40, false},
}};

template <std::size_t N>
QString text(const char (&field)[N])
{
    return platform::fromCp1251(store::ztextOf(field)).trimmed();
}

template <std::size_t N>
QString fixedText(const char (&field)[N])
{
    return platform::fromCp1251(store::textOf(field));
}

// Blank for zero, as the list's pictures with a trailing b write it.
QString number(long long value, bool blankZero = true)
{
    return value == 0 && blankZero ? QString() : QString::number(value);
}

QString decimals3(double value)
{
    return value == 0 ? QString() : QString::number(value, 'f', 3);
}

double volumeOf(const store::VsdRecord& r)
{
    return std::atof(std::string(store::ztextOf(r.VOLUME)).c_str());
}

QString transportNumber(int type, const QString& vehicle, const QString& trailer, const QString& container,
                        const QString& wagon, const QString& flight, const QString& ship)
{
    return TransportNumberText(type, vehicle, trailer, container, wagon, flight, ship);
}

const QColor kAlarm(255, 0, 0);
const QColor kHighlightedAlarm(255, 255, 0);

} // namespace

std::span<const VsdColumn> vsdColumns()
{
    return kColumns;
}

int fixedVsdColumnCount()
{
    int count = 0;
    for (const VsdColumn& c : kColumns) {
        const std::u16string_view group(c.group);
        if (!group.empty() && group != u"Бланк ВСД")
            break;
        ++count;
    }
    return count;
}

QString consignorEntityText(const store::VsdRecord& r, bool* placeholder)
{
    const bool noGuid = store::textOf(r.CONSIGNORHS).empty();
    const QString name = text(r.CONSIGNORNAME);
    const bool missing = noGuid || name.isEmpty();
    if (placeholder)
        *placeholder = missing;
    if (noGuid)
        return QStringLiteral("<Нет GUID ХС>");
    return name.isEmpty() ? QStringLiteral("<Нет в справочнике ХС>") : name;
}

QString consignorPlaceText(const store::VsdRecord& r, bool* placeholder)
{
    const bool noGuid = store::textOf(r.CONSIGNORENT).empty();
    const QString name = text(r.CONSIGNORPLACE);
    const bool missing = noGuid || name.isEmpty();
    if (placeholder)
        *placeholder = missing;
    if (noGuid)
        return QStringLiteral("<Нет GUID площадки>");
    return name.isEmpty() ? QStringLiteral("<Нет в справочнике площадок>") : name;
}

QString vsdColumnText(int column, const store::VsdRecord& r)
{
    using platform::formatDay;
    switch (column) {
    case cSeries:
        return text(r.ISSUESERIES);
    case cNumber:
        return text(r.ISSUENUMBER);
    case cDate:
        return formatDay(r.DATE);
    case cType:
        return vsdTypeText(store::ztextOf(r.VETDTYPE));
    case cStatus:
        return statusText(r.CODSTATUS);
    case cUpdateDate:
        return formatDay(r.UPDATEDATE);
    case cUpdateTime:
        return platform::formatTime(r.UPDATETIME);
    case cProduct:
        return text(r.PRODITEMNAME);
    case cGtin:
        return text(r.PRODITEMGTIN);
    case cVolume:
        return decimals3(volumeOf(r));
    case cFact:
        return decimals3(r.KOLVO);
    case cUnit:
        return text(r.UNITNAME);
    case cProDate1:
        return formatDay(r.PRODATE1);
    case cProHour1:
        return number(r.PROHOUR1);
    case cProDate2:
        return formatDay(r.PRODATE2);
    case cProHour2:
        return number(r.PROHOUR2);
    case cProText:
        return text(r.PROINFORMALDATE);
    case cExpDate1:
        return formatDay(r.EXPDATE1);
    case cExpHour1:
        return number(r.EXPHOUR1);
    case cExpDate2:
        return formatDay(r.EXPDATE2);
    case cExpHour2:
        return number(r.EXPHOUR2);
    case cExpText:
        return text(r.EXPINFORMALDATE);
    case cShelfLife:
        return number(r.ACTUALSROK);
    case cReservePercent:
        return QString::number(std::llround(r.RESERVEPROC)) + QStringLiteral(" %");
    case cReserveDays:
        return number(r.RESERVEDAY);
    case cPerishable:
        return r.PERISHABLE == 1 ? QStringLiteral("Да") : QString();
    case cConsignor:
        return consignorEntityText(r);
    case cConsignorInn:
        return text(r.CONSIGNORINN);
    case cConsignorPlace:
        return consignorPlaceText(r);
    case cPackQuantity:
        return number(r.PACKQUANTITY);
    case cPackName:
        return text(r.PACKNAME);
    case cPackVolume:
        return text(r.PACKVOLUME);
    case cPackUnit:
        return text(r.PACKUNITNAME);
    case cItemGuid:
        return fixedText(r.PRODITEMGUID);
    case cItemCode:
        return text(r.PRODITEMCODE);
    case cTtnSeries:
        return text(r.TTN_SERIES);
    case cTtnNumber:
        return text(r.TTN_NUMBER);
    case cTtnDate:
        return formatDay(r.TTN_ORVDATE);
    case cTtnType:
        return documentTypeText(r.TTN_TYPE);
    case cTtnRelation:
        return relationText(r.TTN_RELTYPE);
    case cTransportType1:
        return transportTypeText(r.TRANSPORTTYPE1);
    case cTransportNumber1:
        return transportNumber(r.TRANSPORTTYPE1, text(r.VEHICLENUMBER1), text(r.TRAILERNUMBER1),
                               text(r.CONTAINERNUMBER1), text(r.WAGONNUMBER1), text(r.FLIGHTNUMBER1),
                               text(r.SHIPNAME1));
    case cStorage:
        return storageTypeText(store::ztextOf(r.TRSTORAGETYPE));
    case cTransportType2:
        return transportTypeText(r.TRANSPORTTYPE2);
    case cTransportNumber2:
        return transportNumber(r.TRANSPORTTYPE2, text(r.VEHICLENUMBER2), text(r.TRAILERNUMBER2),
                               text(r.CONTAINERNUMBER2), text(r.WAGONNUMBER2), text(r.FLIGHTNUMBER2),
                               text(r.SHIPNAME2));
    case cUuid:
        return fixedText(r.UUID);
    case cForm:
        return formText(store::ztextOf(r.VETDFORM));
    case cCondition:
        return number(r.CONDITION);
    case cAppStatus:
        return text(r.APPSTATUS);
    case cAppId:
        return fixedText(r.APPID);
    case cAppError:
        return text(r.APPERROR);
    default:
        return {};
    }
}

QColor vsdColumnColour(int column, const store::VsdRecord& r, bool highlighted)
{
    bool alarm = false;
    switch (column) {
    case cStatus:
        if (r.CODSTATUS == 3)
            return highlighted ? kHighlightedAlarm : QColor(0, 128, 0);
        if (r.CODSTATUS == 4)
            return highlighted ? kHighlightedAlarm : QColor(128, 128, 128);
        alarm = r.CODSTATUS == 2;
        break;
    case cFact:
        alarm = r.KOLVO != volumeOf(r);
        break;
    case cReservePercent:
        alarm = r.RESERVEPROC < 30;
        break;
    case cReserveDays:
        alarm = r.RESERVEDAY < 0;
        break;
    case cConsignor:
        consignorEntityText(r, &alarm);
        break;
    case cConsignorPlace:
        consignorPlaceText(r, &alarm);
        break;
    default:
        break;
    }
    if (!alarm)
        return {};
    return highlighted ? kHighlightedAlarm : kAlarm;
}

} // namespace workspace::ui
