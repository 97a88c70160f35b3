// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/CodeTexts.h"

#include "platform/CodePage.h"
#include "store/RecordText.h"

#include <span>
#include <string>

namespace workspace {

namespace {

struct WordText
{
    std::string_view code;
    const char* text; // UTF-8
};

struct NumberText
{
    int code;
    const char* text; // UTF-8
};

constexpr WordText kVsdTypes[] = {
    {"INCOMING", "Входящий"},     {"OUTGOING", "Исходящий"},     {"PRODUCTIVE", "Производственный"},
    {"RETURNABLE", "Возвратный"}, {"TRANSPORT", "Транспортный"},
};

constexpr NumberText kStatuses[] = {{1, "Оформлен"}, {2, "Аннулирован"}, {3, "Погашен"}, {4, "Закрыт"}};

constexpr WordText kStorageTypes[] = {
    {"FROZEN", "Замороженный"},
    {"CHILLED", "Охлажденный"},
    {"COOLED", "Охлаждаемый"},
    {"VENTILATED", "Вентилируемый"},
};

constexpr WordText kForms[] = {
    {"CERTCU1", "Форма 1 ветеринарного сертификата ТС"},
    {"LIC1", "Форма 1 ветеринарного свидетельства"},
    {"CERTCU2", "Форма 2 ветеринарного сертификата ТС"},
    {"LIC2", "Форма 2 ветеринарного свидетельства"},
    {"CERTCU3", "Форма 3 ветеринарного сертификата ТС"},
    {"LIC3", "Форма 3 ветеринарного свидетельства"},
    {"NOTE4", "Форма 4 ветеринарной справки"},
    {"CERT5I", "Форма 5i ветеринарного сертификата"},
    {"CERT61", "Форма 6.1 ветеринарного сертификата"},
    {"CERT62", "Форма 6.2 ветеринарного сертификата"},
    {"CERT63", "Форма 6.3 ветеринарного сертификата"},
    {"PRODUCTIVE", "Форма производственного ветеринарного сертификата"},
};

constexpr NumberText kDocumentTypes[] = {
    {1, "Товарно-транспортная накладная"},
    {2, "Коносамент"},
    {3, "CMR"},
    {4, "Авианакладная"},
    {5, "Транспортная накладная"},
    {6, "ТОРГ-12"},
    {7, "Разрешение Россельхознадзора на ввоз/вывоз/транзит подконтрольной продукции"},
    {8, "Разрешение ветеринарного управления субъекта страны ТС на ввоз продукции"},
    {9, "Акт отбора пробы на исследование"},
    {10, "ТОРГ-13"},
    {11, "Ветеринарный сертификат на перемещение внутри РФ"},
    {12, "Ветеринарный сертификат третьих стран на ввоз продукции на территорию РФ"},
    {13, "Ветеринарный сертификат страны ТС на ввоз продукции на территорию РФ"},
    {14, "Ветеринарный сертификат РФ на вывоз продукции на территорию стран ТС"},
    {15, "Ветеринарный сертификат РФ на вывоз продукции на территорию третьих стран"},
    {16, "Заказ"},
    {17, "Паспорт гражданина РФ"},
    {18, "Паспорт иностранного гражданина"},
    {19, "Паспорт гражданина Республики Казахстан"},
    {20, "Паспорт гражданина Республики Беларусь"},
    {21, "Паспорт гражданина Республики Армения"},
    {22, "Паспорт гражданина Республики Киргизия"},
    {23, "УПД"},
    {24, "Электронный ветеринарный производственный сертификат"},
};

constexpr NumberText kRelations[] = {
    {1, "Сопроводительный документ"},
    {2, "Предшествующий документ"},
    {3, "Следующий документ"},
    {4, "Документ, взамен которого выдан текущий документ"},
    {5, "Документ, заменяющий текущий документ"},
    {6, "Связанный документ"},
};

constexpr NumberText kTransportTypes[] = {
    {1, "Автомобильный"},  {2, "Железнодорожный"}, {3, "Авиатранспортный"}, {4, "Морской (контейнер)"},
    {5, "Морской (трюм)"}, {6, "Речной"},          {7, "Перегон (скота)"},
};

constexpr WordText kRoles[] = {
    {"UNKNOWN", "Роль не определена"},
    {"PRODUCER", "Является производителем продукции (в том числе выращивание)"},
    {"SLAUGHTER_HOUSE", "Бойня (мясокомбинат)"},
    {"CUTTING_PLANT", "Разделочное предприятие"},
    {"COLD_STORE", "Холодильник"},
    {"PACKAGING_PLANT", "Упаковочное предприятие"},
};

constexpr WordText kEventTypes[] = {
    {"UND", "Не определен"},
    {"LBR", "Лабораторные исследования"},
    {"VSE", "Ветеринарно-санитарная экспертиза"},
    {"IMM", "Иммунизация живого животного"},
    {"MED", "Обработка живого животного"},
    {"QRT", "Карантин"},
};

// Codes come from records: Windows-1251 bytes, maybe with their padding.
QString lookUp(std::span<const WordText> table, std::string_view code, const UnknownCode& unknown)
{
    code = store::clip(code);
    for (const WordText& row : table)
        if (row.code == code)
            return QString::fromUtf8(row.text);
    return unknown.textFor(platform::fromCp1251(code));
}

QString lookUp(std::span<const NumberText> table, int code, const UnknownCode& unknown)
{
    for (const NumberText& row : table)
        if (row.code == code)
            return QString::fromUtf8(row.text);
    return unknown.textFor(QString::number(code));
}

std::string upperCased(std::string_view code)
{
    std::string out(code);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

} // namespace

QString UnknownCode::textFor(const QString& code) const
{
    switch (m_kind) {
    case Kind::Empty:
        return {};
    case Kind::AsStored:
        return code;
    case Kind::Fixed:
        return m_text;
    case Kind::Prefixed:
        return m_text + code;
    }
    return {};
}

QString vsdTypeText(std::string_view code, const UnknownCode& unknown)
{
    return lookUp(kVsdTypes, code, unknown);
}

QString statusText(int code, const UnknownCode& unknown)
{
    return lookUp(kStatuses, code, unknown);
}

QString storageTypeText(std::string_view code, const UnknownCode& unknown)
{
    return lookUp(kStorageTypes, code, unknown);
}

QString formText(std::string_view code, const UnknownCode& unknown)
{
    return lookUp(kForms, code, unknown);
}

QString documentTypeText(int code, const UnknownCode& unknown)
{
    return lookUp(kDocumentTypes, code, unknown);
}

QString relationText(int code, const UnknownCode& unknown)
{
    return lookUp(kRelations, code, unknown);
}

QString transportTypeText(int code, const UnknownCode& unknown)
{
    return lookUp(kTransportTypes, code, unknown);
}

QString roleText(std::string_view code, const UnknownCode& unknown)
{
    return lookUp(kRoles, upperCased(code), unknown);
}

QString eventTypeText(std::string_view code, const UnknownCode& unknown)
{
    return lookUp(kEventTypes, upperCased(store::clip(code)), unknown);
}

QString TransportNumberText(int transportType, const QString& vehicle, const QString& trailer,
                            const QString& container, const QString& wagon, const QString& flight,
                            const QString& ship)
{
    switch (transportType) {
    case 1: {
        QString number = vehicle;
        for (const QString* more : {&trailer, &container}) {
            if (more->isEmpty())
                continue;
            if (!number.isEmpty())
                number += QStringLiteral(" / ");
            number += *more;
        }
        return number;
    }
    case 2:
        return wagon;
    case 3:
        return flight;
    case 4:
    case 5:
    case 6:
        return ship;
    default:
        return {};
    }
}

} // namespace workspace
