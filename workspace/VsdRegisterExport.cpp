// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/VsdRegisterExport.h"

#include "framework/ErrorManager.h"
#include "framework/LastError.h"
#include "framework/MessageBox.h"
#include "framework/ProcessSettings.h"
#include "lists/XlsxWorkbook.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Vsd.h"
#include "workspace/CodeTexts.h"

#include <QDir>
#include <QFile>
#include <QUuid>

#include <array>
#include <xlsxwriter.h>

namespace workspace {

namespace {

// How a data cell of a column is written.
enum class RegisterCell : std::uint8_t
{
    Text,     // left-aligned, wrapped
    Right,    // right-aligned text
    Date,     // "DD.MM.YYYY"
    Time,     // "HH:MM:SS"
    Integer,  // "# ##0;-# ##0"
    Decimal3, // three decimals
    Percent,  // percent, negatives red
};

struct RegisterColumn
{
    const char16_t* group; // the first column of a group names it
    const char16_t* heading;
    double width;
    RegisterCell cell;
};

constexpr int kRegisterColumns = 51;

constexpr std::array<RegisterColumn, kRegisterColumns> kRegisterLayout{{
    {u"БЛАНК ВСД", u"Серия", 8, RegisterCell::Text},
    {nullptr, u"№", 10, RegisterCell::Right},
    {nullptr, u"Дата", 12, RegisterCell::Date},
    {nullptr, u"Тип", 22, RegisterCell::Text},
    {u"СОСТОЯНИЕ", u"Статус", 14, RegisterCell::Text},
    {nullptr, u"Дата", 10, RegisterCell::Date},
    {nullptr, u"Время", 8, RegisterCell::Time},
    {u"ПРОДУКЦИЯ", u"Наименование", 50, RegisterCell::Text},
    {nullptr, u"GTIN", 15, RegisterCell::Text},
    {u"ОБЪЁМ", u"По ВСД", 12, RegisterCell::Decimal3},
    {nullptr, u"Факт", 12, RegisterCell::Decimal3},
    {nullptr, u"Единица", 12, RegisterCell::Text},
    {u"ВЫРАБОТКА ПРОДУКЦИИ", u"С", 10, RegisterCell::Date},
    {nullptr, u"Час", 4, RegisterCell::Integer},
    {nullptr, u"По", 10, RegisterCell::Date},
    {nullptr, u"Час", 4, RegisterCell::Integer},
    {nullptr, u"Текст", 10, RegisterCell::Text},
    {u"СРОК ГОДНОСТИ ПРОДУКЦИИ", u"С", 10, RegisterCell::Date},
    {nullptr, u"Час", 4, RegisterCell::Integer},
    {nullptr, u"По", 10, RegisterCell::Date},
    {nullptr, u"Час", 4, RegisterCell::Integer},
    {nullptr, u"Текст", 10, RegisterCell::Text},
    {nullptr, u"В днях", 8, RegisterCell::Integer},
    {u"ЗАПАС СРОКА ПО ВСД", u"В %", 10, RegisterCell::Percent},
    {nullptr, u"В днях", 8, RegisterCell::Integer},
    {nullptr, u"СПГ", 4, RegisterCell::Text},
    {u"ОТПРАВИТЕЛЬ ПРОДУКЦИИ", u"ХС", 50, RegisterCell::Text},
    {nullptr, u"ИНН", 14, RegisterCell::Text},
    {nullptr, u"Площадка", 40, RegisterCell::Text},
    {u"УПАКОВКА", u"Кол-во", 10, RegisterCell::Integer},
    {nullptr, u"Наименование", 16, RegisterCell::Text},
    {u"ОДНА УПАКОВКА", u"Объём", 10, RegisterCell::Right},
    {nullptr, u"Ед. измерения", 16, RegisterCell::Text},
    {u"НОМЕНКЛАТУРА ПРОИЗВОДИТЕЛЯ", u"GUID", 40, RegisterCell::Text},
    {nullptr, u"Артикул (код)", 20, RegisterCell::Text},
    {u"ТОВАРНО-ТРАНСПОРТНЫЙ ДОКУМЕНТ", u"Серия", 12, RegisterCell::Text},
    {nullptr, u"№", 12, RegisterCell::Right},
    {nullptr, u"Дата", 10, RegisterCell::Date},
    {nullptr, u"Тип", 40, RegisterCell::Text},
    {nullptr, u"Отношение между документами", 34, RegisterCell::Text},
    {u"ТРАНСПОРТ (ОСНОВНОЙ)", u"Тип", 20, RegisterCell::Text},
    {nullptr, u"№", 20, RegisterCell::Text},
    {nullptr, u"Способ хранения", 20, RegisterCell::Text},
    {u"ТРАНСПОРТ (ПЕРЕГРУЗКА)", u"Тип", 20, RegisterCell::Text},
    {nullptr, u"№", 20, RegisterCell::Text},
    {u"ПАРАМЕТРЫ ВСД", u"UUID", 40, RegisterCell::Text},
    {nullptr, u"Форма", 40, RegisterCell::Text},
    {u"ЗАЯВКА НА ГАШЕНИЕ / ВОЗВРАТ", u"Вид", 6, RegisterCell::Integer},
    {nullptr, u"Статус", 20, RegisterCell::Text},
    {nullptr, u"ID задания", 40, RegisterCell::Text},
    {nullptr, u"Информация по обработке запроса сервисом", 99, RegisterCell::Text},
}};

constexpr int kRegisterFirstRow = 8;
constexpr double kRegisterRowHeight = 15;
constexpr double kRegisterSpacerHeight = 8;
constexpr int kRegisterProgressStep = 10;
// The maker's web address, in the workbook's company and comments. The maker
// has no site yet: while it is empty, the comments end with the program's name
// and the company stays empty.
constexpr char kRegisterMakerSite[] = "";

thread_local RegisterFormatCount t_lastRegisterFormats;

QString registerUtf16(const char16_t* text)
{
    return QString::fromUtf16(text);
}

template <std::size_t N>
QString registerZText(const char (&field)[N])
{
    return platform::fromCp1251(store::ztextOf(field));
}

template <std::size_t N>
QString registerFixedText(const char (&field)[N])
{
    return platform::fromCp1251(store::textOf(field));
}

// The formats of the register, made once per workbook.
struct RegisterFormats
{
    lists::WorkbookWriter::Format title = nullptr;
    lists::WorkbookWriter::Format heading = nullptr;
    lists::WorkbookWriter::Format group = nullptr;
    lists::WorkbookWriter::Format column = nullptr;
    lists::WorkbookWriter::Format totalLabel = nullptr;
    lists::WorkbookWriter::Format totalCount = nullptr;
    std::array<lists::WorkbookWriter::Format, 7> cells{}; // by RegisterCell
};

RegisterFormats makeRegisterFormats(lists::WorkbookWriter& w)
{
    RegisterFormats f;
    const auto start = [&w](std::uint8_t horizontal, std::uint8_t vertical, bool bold) {
        w.resetFormat();
        w.attributes().horizontal = horizontal;
        w.attributes().vertical = vertical;
        if (bold)
            w.attributes().fontWeight = 700;
    };
    start(LXW_ALIGN_LEFT, LXW_ALIGN_VERTICAL_CENTER, true);
    w.attributes().fontSize = 14;
    f.title = w.makeFormat(false);

    start(LXW_ALIGN_LEFT, LXW_ALIGN_VERTICAL_TOP, true);
    w.attributes().wrap = true;
    f.heading = w.makeFormat(false);
    w.attributes().border = LXW_BORDER_THIN;
    f.group = w.makeFormat(false);
    w.attributes().bottom = LXW_BORDER_DOUBLE;
    f.column = w.makeFormat(false);

    start(LXW_ALIGN_LEFT, LXW_ALIGN_VERTICAL_TOP, true);
    w.attributes().border = LXW_BORDER_THIN;
    f.totalLabel = w.makeFormat(false);
    w.attributes().horizontal = LXW_ALIGN_RIGHT;
    f.totalCount = w.makeFormat(false);

    const auto cell = [&f](RegisterCell kind) -> lists::WorkbookWriter::Format& {
        return f.cells[static_cast<std::size_t>(kind)];
    };
    start(LXW_ALIGN_LEFT, LXW_ALIGN_VERTICAL_TOP, false);
    w.attributes().border = LXW_BORDER_THIN;
    w.attributes().wrap = true;
    cell(RegisterCell::Text) = w.makeFormat(false);

    const auto plain = [&w]() {
        w.resetFormat();
        w.attributes().vertical = LXW_ALIGN_VERTICAL_TOP;
        w.attributes().border = LXW_BORDER_THIN;
    };
    plain();
    w.attributes().horizontal = LXW_ALIGN_RIGHT;
    cell(RegisterCell::Right) = w.makeFormat(false);
    plain();
    cell(RegisterCell::Date) = w.datePreset();
    plain();
    cell(RegisterCell::Time) = w.timePreset();
    plain();
    cell(RegisterCell::Integer) = w.integerPreset(0, false);
    plain();
    cell(RegisterCell::Decimal3) = w.integerPreset(3, false);
    plain();
    cell(RegisterCell::Percent) = w.percentPreset(true);
    w.resetFormat();
    return f;
}

// The number of a transport for columns 42 and 45: an empty text is kept
// for road transport (its cell is then an empty string), other types without
// a number give a blank cell.
void writeTransportNumber(lists::WorkbookWriter& w, int row, int column, int type, const QString& number)
{
    if (number.isEmpty() && type != 1)
        w.writeBlank(row, column);
    else
        w.writeString(row, column, number);
}

void writeTextOrBlank(lists::WorkbookWriter& w, int row, int column, const QString& text)
{
    if (text.isEmpty())
        w.writeBlank(row, column);
    else
        w.writeString(row, column, text);
}

void writeRegisterRow(lists::WorkbookWriter& w, const RegisterFormats& f, int row, const store::VsdRecord& r)
{
    w.setRow(row, kRegisterRowHeight, false, 1);
    const auto use = [&w, &f](int column) {
        w.setCurrentFormat(
            f.cells[static_cast<std::size_t>(kRegisterLayout[static_cast<std::size_t>(column - 1)].cell)]);
    };
    const auto text = [&](int column, const QString& value) {
        use(column);
        w.writeString(row, column, value);
    };
    const auto date = [&](int column, std::int32_t day) {
        use(column);
        w.writeDateTime(row, column, day, 0);
    };
    const auto number = [&](int column, double value) {
        use(column);
        w.writeNumber(row, column, value);
    };

    text(1, registerZText(r.ISSUESERIES));
    text(2, registerZText(r.ISSUENUMBER));
    date(3, +r.DATE);
    text(4, vsdTypeText(store::ztextOf(r.VETDTYPE), UnknownCode::asStored()));
    text(5, statusText(+r.CODSTATUS, UnknownCode::asStored()));
    date(6, +r.UPDATEDATE);
    use(7);
    w.writeDateTime(row, 7, 0, +r.UPDATETIME);
    text(8, registerZText(r.PRODITEMNAME));
    text(9, registerZText(r.PRODITEMGTIN));
    use(10);
    w.writeValue(row, 10, registerZText(r.VOLUME));
    number(11, +r.KOLVO);
    text(12, registerZText(r.UNITNAME));
    date(13, +r.PRODATE1);
    number(14, +r.PROHOUR1);
    date(15, +r.PRODATE2);
    number(16, +r.PROHOUR2);
    text(17, registerZText(r.PROINFORMALDATE));
    date(18, +r.EXPDATE1);
    number(19, +r.EXPHOUR1);
    date(20, +r.EXPDATE2);
    number(21, +r.EXPHOUR2);
    text(22, registerZText(r.EXPINFORMALDATE));
    number(23, +r.ACTUALSROK);
    number(24, +r.RESERVEPROC / 100.0);
    number(25, +r.RESERVEDAY);
    text(26, r.PERISHABLE == 1 ? QStringLiteral("Да") : QString());
    text(27, registerZText(r.CONSIGNORNAME));
    text(28, registerZText(r.CONSIGNORINN));
    text(29, registerZText(r.CONSIGNORPLACE));
    number(30, +r.PACKQUANTITY);
    text(31, registerZText(r.PACKNAME));
    text(32, registerZText(r.PACKVOLUME));
    text(33, registerZText(r.PACKUNITNAME));
    text(34, registerFixedText(r.PRODITEMGUID));
    text(35, registerZText(r.PRODITEMCODE));
    text(36, registerZText(r.TTN_SERIES));
    text(37, registerZText(r.TTN_NUMBER));
    date(38, +r.TTN_ORVDATE);
    use(39);
    writeTextOrBlank(w, row, 39, documentTypeText(+r.TTN_TYPE, UnknownCode::empty()));
    use(40);
    writeTextOrBlank(w, row, 40, relationText(+r.TTN_RELTYPE, UnknownCode::empty()));
    text(41, transportTypeText(+r.TRANSPORTTYPE1, UnknownCode::empty()));
    use(42);
    writeTransportNumber(w, row, 42, +r.TRANSPORTTYPE1,
                         TransportNumberText(+r.TRANSPORTTYPE1, registerZText(r.VEHICLENUMBER1),
                                             registerZText(r.TRAILERNUMBER1),
                                             registerZText(r.CONTAINERNUMBER1), registerZText(r.WAGONNUMBER1),
                                             registerZText(r.FLIGHTNUMBER1), registerZText(r.SHIPNAME1)));
    text(43, storageTypeText(store::ztextOf(r.TRSTORAGETYPE), UnknownCode::asStored()));
    text(44, transportTypeText(+r.TRANSPORTTYPE2, UnknownCode::empty()));
    use(45);
    writeTransportNumber(w, row, 45, +r.TRANSPORTTYPE2,
                         TransportNumberText(+r.TRANSPORTTYPE2, registerZText(r.VEHICLENUMBER2),
                                             registerZText(r.TRAILERNUMBER2),
                                             registerZText(r.CONTAINERNUMBER2), registerZText(r.WAGONNUMBER2),
                                             registerZText(r.FLIGHTNUMBER2), registerZText(r.SHIPNAME2)));
    text(46, registerFixedText(r.UUID));
    text(47, formText(store::ztextOf(r.VETDFORM), UnknownCode::asStored()));
    number(48, +r.CONDITION);
    text(49, registerZText(r.APPSTATUS));
    text(50, registerFixedText(r.APPID));
    text(51, registerZText(r.APPERROR));
}

void showRegisterError(const QString& text)
{
    framework::MessageRequest r;
    r.caption = QStringLiteral("Ошибка");
    r.text = text;
    r.icon = framework::MessageIcon::Information;
    r.customButtons = {QStringLiteral("&1. Закрыть")};
    framework::showNotice(framework::messagePresenter(), r);
}

// A table of the store that could not be read, through the error manager.
void reportRegisterStoreError(framework::MessageId id)
{
    const framework::LastError& error = framework::lastError();
    static_cast<void>(framework::errorManager().report_for_file(id, QString::fromStdString(error.fileName)));
}

// The workbook's settings, title, headings and columns. False when the title
// could not be written.
bool startRegister(lists::WorkbookWriter& w, const RegisterHeading& heading, const QString& file,
                   RegisterFormats& f)
{
    if (!w.newWorkbook(file))
        return false;
    const QString title = QStringLiteral("Входящие ветеринарно-сопроводительные документы на ") +
                          platform::formatDay(platform::today()) + QStringLiteral(" г.");
    const QString site = QString::fromLatin1(kRegisterMakerSite);
    lists::WorkbookWriter::Properties properties;
    properties.title = title;
    properties.subject = QStringLiteral("Zanvo «Dirirev ODI»");
    properties.keywords = QStringLiteral("Zanvo «Dirirev ODI»");
    properties.category = QStringLiteral("Реестр ВСД»");
    properties.comments = QStringLiteral("Отчёт создан в программе:\r\nZanvo «Dirirev ODI»");
    if (!site.isEmpty())
        properties.comments += QStringLiteral("\r\nСайт: ") + site;
    properties.company = site;
    w.setProperties(properties);
    if (!w.addSheet(QStringLiteral("Лист1")))
        return false;
    w.setPaper(9);
    w.setMargins(0.8, 0.8, 0.8, 0.8);
    w.setHeader(QString());
    w.setFooter(QString());
    w.resetFormat();

    f = makeRegisterFormats(w);
    w.setCurrentFormat(f.title);
    if (!w.merge(1, 1, 1, 7, title))
        return false;
    w.setZoom(100);
    w.setLandscape();
    w.hideZeroValues();

    w.setCurrentFormat(nullptr);
    w.setRow(2, kRegisterSpacerHeight);
    w.setCurrentFormat(f.heading);
    static_cast<void>(w.merge(3, 1, 3, 7, QStringLiteral("ХС: ") + heading.entityName));
    static_cast<void>(w.merge(4, 1, 4, 7, QStringLiteral("Площадка: ") + heading.enterpriseName));
    w.setCurrentFormat(nullptr);
    w.setRow(5, kRegisterSpacerHeight);

    for (int c = 1; c <= kRegisterColumns; ++c) {
        const RegisterColumn& column = kRegisterLayout[static_cast<std::size_t>(c - 1)];
        if (column.group) {
            int last = c;
            while (last < kRegisterColumns && !kRegisterLayout[static_cast<std::size_t>(last)].group)
                ++last;
            w.setCurrentFormat(f.group);
            static_cast<void>(w.merge(6, c, 6, last, registerUtf16(column.group)));
        }
        w.setCurrentFormat(f.column);
        w.writeString(7, c, registerUtf16(column.heading));
        w.setCurrentFormat(nullptr);
        w.setColumn(c, c, column.width, false, column.group ? 0 : 1);
    }
    w.freezePanes(8, 1);
    return true;
}

} // namespace

QString noFileAccessText(const QString& path)
{
    return QStringLiteral("Нет доступа к файлу: ") + path;
}

QString missingWorkbookText()
{
    return QStringLiteral("Отсутствует файл XLSX для выполнения операции !");
}

QString unfinishedWorkbookText(const QString& path, const QString& reason)
{
    return QStringLiteral("Не удалось записать файл XLSX: ") + path + u'|' + reason;
}

RegisterFormatCount lastRegisterFormatCount()
{
    return t_lastRegisterFormats;
}

bool writeVsdRegister(store::Session& session, const std::vector<std::string>& uuids,
                      const RegisterHeading& heading, const QString& file, const RegisterProgress& progress)
{
    if (QFile::exists(file))
        QFile::remove(file);
    if (QFile::exists(file)) {
        showRegisterError(noFileAccessText(QDir::toNativeSeparators(file)));
        return false;
    }
    const int total = static_cast<int>(uuids.size());
    if (progress)
        progress(0, total);

    lists::WorkbookWriter w;
    RegisterFormats f;
    const auto unfinished = [&]() {
        static_cast<void>(w.close());
        QFile::remove(file);
        showRegisterError(unfinishedWorkbookText(QDir::toNativeSeparators(file), w.errorText()));
        return false;
    };
    if (!startRegister(w, heading, file, f))
        return unfinished();

    store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
    if (vsds.open() != store::kOk) {
        reportRegisterStoreError(framework::MessageId::RecordAccessFailed);
        static_cast<void>(w.close());
        QFile::remove(file);
        return false;
    }
    int row = kRegisterFirstRow;
    for (int i = 0; i < total; ++i) {
        vsds.clear();
        store::setText(vsds.rec().UUID, uuids[static_cast<std::size_t>(i)]);
        const int found = vsds.fetch("MVD:BYUUID");
        if (found == store::kOk) {
            writeRegisterRow(w, f, row++, vsds.rec());
        } else if (found != store::kRecordNotFound) {
            // A table that cannot be read is not a VSD deleted meanwhile.
            reportRegisterStoreError(framework::MessageId::RecordAccessFailed);
            static_cast<void>(w.close());
            QFile::remove(file);
            return false;
        }
        if (progress && (i + 1) % kRegisterProgressStep == 0)
            progress(i + 1, total);
        if (w.failed())
            break; // the rest would fail the same way
    }
    if (progress)
        progress(total, total);

    w.setCurrentFormat(nullptr);
    w.setRow(row++, kRegisterRowHeight, false, 1);
    w.setCurrentFormat(f.totalLabel);
    w.writeString(row, 1, QStringLiteral("ИТОГО"));
    w.setCurrentFormat(f.totalCount);
    w.writeNumber(row, 2, total);
    w.outlineSettings(true, false, false, false);

    t_lastRegisterFormats.workbookFormats = w.workbookFormats();
    t_lastRegisterFormats.attributeSets = w.cachedFormats();
    if (!w.close())
        return unfinished();
    if (!QFile::exists(file)) {
        showRegisterError(missingWorkbookText());
        return false;
    }
    return true;
}

QString exportVsdRegister(store::Session& session, const std::vector<std::string>& uuids,
                          const RegisterHeading& heading, const RegisterProgress& progress)
{
    QString folder = framework::process::temporaryExportFolder();
    if (folder.isEmpty())
        folder = QDir::tempPath();
    if (!folder.endsWith(u'/') && !folder.endsWith(u'\\'))
        folder += u'/';
    const QString file =
        folder + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".xlsx");
    return writeVsdRegister(session, uuids, heading, file, progress) ? file : QString();
}

} // namespace workspace
