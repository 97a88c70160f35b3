// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <string_view>

// The Russian display texts of the codes a VSD keeps as the service sent them.
// Every window and report that shows a VSD uses these tables. Each function
// takes the code and, for a code outside its table, gives what the caller
// asks for: the list's behaviour is the default; the card, the nested lists
// and the register pass their own. Word codes are taken as a record keeps
// them: Windows-1251 bytes, trailing blanks ignored.
namespace workspace {

// What a text function gives for a code outside its table.
class UnknownCode
{
public:
    static UnknownCode empty() { return UnknownCode(Kind::Empty, {}); }
    // The code itself (a number as its decimal digits).
    static UnknownCode asStored() { return UnknownCode(Kind::AsStored, {}); }
    static UnknownCode fixed(const QString& text) { return UnknownCode(Kind::Fixed, text); }
    // The text followed by the code.
    static UnknownCode prefixed(const QString& text) { return UnknownCode(Kind::Prefixed, text); }

    QString textFor(const QString& code) const;

private:
    enum class Kind
    {
        Empty,
        AsStored,
        Fixed,
        Prefixed
    };
    UnknownCode(Kind kind, QString text)
        : m_kind(kind)
        , m_text(std::move(text))
    {}
    Kind m_kind;
    QString m_text;
};

// MVD:VETDTYPE ("INCOMING" ...).
QString vsdTypeText(std::string_view code, const UnknownCode& unknown = UnknownCode::asStored());
// The status code MVD:CODSTATUS (1..4).
QString statusText(int code, const UnknownCode& unknown = UnknownCode::asStored());
// MVD:TRSTORAGETYPE ("FROZEN" ...).
QString storageTypeText(std::string_view code, const UnknownCode& unknown = UnknownCode::asStored());
// MVD:VETDFORM ("CERTCU1" ...).
QString formText(std::string_view code, const UnknownCode& unknown = UnknownCode::asStored());
// A document type code (1..24).
QString documentTypeText(int code, const UnknownCode& unknown = UnknownCode::empty());
// A relationship type code (1..6).
QString relationText(int code, const UnknownCode& unknown = UnknownCode::empty());
// A transport type code (1..7).
QString transportTypeText(int code, const UnknownCode& unknown = UnknownCode::empty());
// The activity role of an enterprise, from the code as written (upper-cased here).
QString roleText(std::string_view code,
                 const UnknownCode& unknown = UnknownCode::fixed(QStringLiteral("???")));
// The kind of a veterinary event, from the code as written (upper-cased and
// right-trimmed here).
QString eventTypeText(std::string_view code,
                      const UnknownCode& unknown = UnknownCode::fixed(QStringLiteral("???")));

// The number of a transport: for road transport the vehicle, trailer and
// container numbers joined by " / " (a separator only after a text that is
// not empty), the wagon for rail, the flight for air, the ship's name for sea
// and river, and nothing for any other type.
QString TransportNumberText(int transportType, const QString& vehicle, const QString& trailer,
                            const QString& container, const QString& wagon, const QString& flight,
                            const QString& ship);

} // namespace workspace
