// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/ListFormatStore.h"

#include "framework/MessageBox.h"
#include "platform/CodePage.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/BrwMem.h"
#include "store/tables/BrwSet.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace lists {

namespace {

constexpr int kFontCount = 5;
constexpr int kShortestKeptLayout = 5;
constexpr int kLongestKeptLayout = 4097;

bool within(int value, int low, int high)
{
    return value >= low && value <= high;
}

std::string formatListId(const QString& listId)
{
    return platform::toCp1251(QStringView(listId).left(kListIdLength));
}

template <typename Record>
SavedListFormat formatOfRecord(const Record& r)
{
    SavedListFormat f;
    f.designed = std::string(store::ztextOf(r.DEFFORMAT));
    f.current = std::string(store::ztextOf(r.CURFORMAT));
    f.appearance.setup = +r.FSETUP;
    f.appearance.gridColour = +r.GRIDCOLOR;
    f.appearance.barColour = +r.BARCOLOR;
    f.appearance.rowHeight = +r.HLINE;
    f.appearance.fontSize = +r.FONTSIZE;
    f.appearance.font = +r.FONTCOD;
    f.appearance.wheelStep = +r.WHEELSCROLL;
    return f;
}

std::uint8_t byteOf(int value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

template <typename Record>
void putFormat(Record& r, const SavedListFormat& f)
{
    store::setZText(r.DEFFORMAT, f.designed);
    store::setZText(r.CURFORMAT, f.current);
    r.FSETUP = byteOf(f.appearance.setup);
    r.GRIDCOLOR = byteOf(f.appearance.gridColour);
    r.BARCOLOR = byteOf(f.appearance.barColour);
    r.HLINE = byteOf(f.appearance.rowHeight);
    r.FONTSIZE = byteOf(f.appearance.fontSize);
    r.FONTCOD = byteOf(f.appearance.font);
    r.WHEELSCROLL = byteOf(f.appearance.wheelStep);
}

// Both layouts and the appearance as the record holds them (texts cut to the
// field, numbers to a byte).
template <typename Record>
bool recordHolds(const Record& r, const SavedListFormat& f)
{
    Record image = r;
    putFormat(image, f);
    const SavedListFormat stored = formatOfRecord(r);
    const SavedListFormat wanted = formatOfRecord(image);
    return store::clip(stored.designed) == store::clip(wanted.designed) &&
           store::clip(stored.current) == store::clip(wanted.current) &&
           stored.appearance == wanted.appearance;
}

void writeBackMessage(framework::MessagePresenter& presenter, const QString& text)
{
    framework::informationMessage(presenter, text);
}

} // namespace

ListAppearance defaultAppearance(int uiFontSize)
{
    ListAppearance a;
    a.setup = 0;
    a.gridColour = uiFontSize < 11 ? 10 : 9;
    a.barColour = 0;
    a.rowHeight = uiFontSize == 11 ? 9 : 10;
    a.wheelStep = 40;
    a.fontSize = uiFontSize;
    a.font = 1;
    return a;
}

ListAppearance checkedAppearance(const ListAppearance& stored, int uiFontSize)
{
    const ListAppearance d = defaultAppearance(uiFontSize);
    if (stored.setup == 0)
        return d;
    ListAppearance a = stored;
    a.setup = 1;
    if (!within(a.gridColour, 0, 35))
        a.gridColour = d.gridColour;
    if (!within(a.barColour, 0, 35))
        a.barColour = d.barColour;
    if (!within(a.rowHeight, 6, 40))
        a.rowHeight = d.rowHeight;
    if (!within(a.wheelStep, 1, 255))
        a.wheelStep = d.wheelStep;
    if (!within(a.fontSize, 8, 40))
        a.fontSize = d.fontSize;
    if (!within(a.font, 1, kFontCount))
        a.font = d.font;
    return a;
}

QString listFontName(int font)
{
    static const std::array<QString, kFontCount> names = {
        QStringLiteral("Segoe UI"), QStringLiteral("Calibri"), QStringLiteral("Tahoma"),
        QStringLiteral("Verdana"),  QStringLiteral("Arial"),
    };
    return within(font, 1, kFontCount) ? names[static_cast<std::size_t>(font - 1)] : names[0];
}

bool zoomAppearance(ListAppearance& appearance, int step, int uiFontSize)
{
    ListAppearance a = appearance.setup == 0 ? defaultAppearance(uiFontSize) : appearance;
    if (step < 0 && (a.rowHeight <= kZoomMinimum || a.fontSize <= kZoomMinimum))
        return false;
    if (step > 0 && (a.rowHeight >= kZoomMaximum || a.fontSize >= kZoomMaximum))
        return false;
    if (step == 0)
        return false;
    const int by = step < 0 ? -1 : 1;
    a.fontSize += by;
    a.rowHeight += by;
    a.setup = 1;
    appearance = a;
    return true;
}

bool resetZoom(ListAppearance& appearance, int uiFontSize)
{
    const ListAppearance d = defaultAppearance(uiFontSize);
    ListAppearance a = appearance.setup == 0 ? d : appearance;
    if (a.fontSize == d.fontSize && a.rowHeight == d.rowHeight)
        return false;
    a.fontSize = d.fontSize;
    a.rowHeight = d.rowHeight;
    appearance = a;
    return true;
}

std::optional<SavedListFormat> formatInMemory(store::Session& session, const QString& listId)
{
    if (listId.isEmpty())
        return std::nullopt;
    store::TypedTable<store::BrwMemRecord> mem(session, store::brwMemTable());
    if (mem.open() != store::kOk)
        return std::nullopt;
    mem.clear();
    store::setText(mem.rec().IDBROWSE, formatListId(listId));
    if (mem.fetch("BXM:BYID") != store::kOk)
        return std::nullopt;
    SavedListFormat f = formatOfRecord(mem.rec());
    if (store::isBlank(f.current))
        return std::nullopt;
    return f;
}

std::optional<SavedListFormat> formatInFile(store::Session& session, const QString& listId,
                                            std::string_view designedNow, const SameDesign& sameDesign)
{
    if (listId.isEmpty())
        return std::nullopt;
    store::TypedTable<store::BrwSetRecord> file(session, store::brwSetTable());
    if (file.open() != store::kOk)
        return std::nullopt;
    file.clear();
    store::setZText(file.rec().IDBROWSE, formatListId(listId));
    if (file.fetch("BRW:BYID") != store::kOk)
        return std::nullopt;
    SavedListFormat f = formatOfRecord(file.rec());
    if (store::isBlank(f.current))
        return std::nullopt;
    const bool same = sameDesign ? sameDesign(store::clip(f.designed), store::clip(designedNow))
                                 : store::clip(f.designed) == store::clip(designedNow);
    if (!same)
        return std::nullopt;
    return f;
}

int rememberListFormat(store::Session& session, const QString& listId, const SavedListFormat& format)
{
    if (listId.isEmpty())
        return store::kOk;
    store::TypedTable<store::BrwMemRecord> mem(session, store::brwMemTable());
    if (const int rc = mem.open(); rc != store::kOk)
        return rc;
    SavedListFormat kept = format;
    const auto length = static_cast<int>(kept.current.size());
    if (length < kShortestKeptLayout || length > kLongestKeptLayout)
        kept.current.clear();
    mem.clear();
    store::setText(mem.rec().IDBROWSE, formatListId(listId));
    const int found = mem.fetch("BXM:BYID");
    if (found == store::kRecordNotFound) {
        putFormat(mem.rec(), kept);
        return mem.add();
    }
    if (found != store::kOk)
        return found;
    if (recordHolds(mem.rec(), kept))
        return store::kOk;
    putFormat(mem.rec(), kept);
    return mem.put();
}

WriteBackResult writeBackListFormats(store::Session& session, framework::MessagePresenter& presenter)
{
    store::TypedTable<store::BrwMemRecord> mem(session, store::brwMemTable());
    if (mem.open() != store::kOk)
        return WriteBackResult::NothingToWrite;
    std::int64_t records = 0;
    if (mem.count(records) != store::kOk || records == 0)
        return WriteBackResult::NothingToWrite;

    WriteBackResult result = WriteBackResult::Written;
    {
        store::TypedTable<store::BrwSetRecord> file(session, store::brwSetTable());
        store::Transaction transaction(session, {&file}, store::kListFormatLockTimeoutSeconds);
        if (file.open() != store::kOk || transaction.start() != store::kOk) {
            writeBackMessage(presenter, QStringLiteral("Нет доступа для записи настроек форматов списков !"));
            result = WriteBackResult::NoAccess;
        } else {
            bool failed = false;
            mem.clear();
            failed = mem.set("BXM:BYID") != store::kOk;
            while (!failed) {
                const int rc = mem.next();
                if (rc == store::kRecordNotFound)
                    break;
                if (rc != store::kOk) {
                    failed = true;
                    break;
                }
                const std::string_view id = store::textOf(mem.rec().IDBROWSE);
                const SavedListFormat f = formatOfRecord(mem.rec());
                if (id.empty() || store::isBlank(f.current) || store::isBlank(f.designed))
                    continue;
                file.clear();
                store::setZText(file.rec().IDBROWSE, id);
                const int found = file.fetch("BRW:BYID");
                if (found == store::kRecordNotFound) {
                    file.clear();
                    store::setZText(file.rec().IDBROWSE, id);
                    putFormat(file.rec(), f);
                    failed = file.add() != store::kOk;
                } else if (found != store::kOk) {
                    failed = true;
                } else if (!recordHolds(file.rec(), f)) {
                    putFormat(file.rec(), f);
                    failed = file.put() != store::kOk;
                }
            }
            if (failed || transaction.commit() != store::kOk) {
                transaction.rollback();
                writeBackMessage(presenter,
                                 QStringLiteral("Не удалось записать настройки форматов списков !"));
                result = WriteBackResult::Failed;
            }
        }
    }
    // The formats of this run are gone in every case.
    (void)mem.deleteAll();
    return result;
}

} // namespace lists
