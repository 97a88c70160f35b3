// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/MessageComposer.h"

#include "platform/CodePage.h"

#include <array>
#include <string>
#include <string_view>

namespace framework {

QString composeMessage(const QString& text, const PlaceholderValues& values)
{
    // Table order is also the matching priority at one position.
    const std::array<std::pair<std::string_view, const QString*>, 13> placeholders{{
        {"%ErrorFile", &values.errorFile},
        {"%FileErrorCode", &values.fileErrorCode},
        {"%FileError", &values.fileError},
        {"%File", &values.file},
        {"%Key", &values.key},
        {"%ErrorCode", &values.errorCode},
        {"%ErrorText", &values.errorText},
        {"%Error", &values.error},
        {"%Message", &values.message},
        {"%Field", &values.field},
        {"%Procedure", &values.procedure},
        {"%Category", &values.category},
        {"%Previous", &values.previous},
    }};
    constexpr std::size_t limit = kComposeBufferBytes - 1;

    const std::string in = platform::toCp1251(text);
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size() && out.size() < limit;) {
        bool replaced = false;
        if (in[i] == '%') {
            const std::string_view rest = std::string_view(in).substr(i);
            for (const auto& [name, value] : placeholders) {
                if (rest.starts_with(name)) {
                    out += platform::toCp1251(*value);
                    i += name.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            out.push_back(in[i++]);
    }
    if (out.size() > limit)
        out.resize(limit);
    return platform::fromCp1251(out);
}

QString errorTextFor(int runtimeCode, const QString& runtimeText, int driverCode, const QString& driverText)
{
    if (runtimeCode == 90 || runtimeCode == 100 || runtimeCode == 47)
        return driverText + QStringLiteral(" (") + QString::number(driverCode) + u')';
    return runtimeText + QStringLiteral(" (") + QString::number(runtimeCode) + u')';
}

} // namespace framework
