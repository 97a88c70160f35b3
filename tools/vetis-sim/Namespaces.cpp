// SPDX-License-Identifier: LicenseRef-Kestrom
#include "Namespaces.h"

#include <array>

namespace vetissim {
namespace {

struct NsInfo
{
    std::string_view uri;
    std::string_view prefix;
};

constexpr std::array<NsInfo, static_cast<std::size_t>(Ns::Count)> kNamespaces{{
    {"", ""},
    {"http://schemas.xmlsoap.org/soap/envelope/", "soapenv"},
    {"http://api.vetrf.ru/schema/cdm/base", "bs"},
    {"http://api.vetrf.ru/schema/cdm/dictionary/v2", "dt"},
    {"http://api.vetrf.ru/schema/cdm/mercury/vet-document/v2", "vd"},
    {"http://api.vetrf.ru/schema/cdm/mercury/g2b/applications/v2", "merc"},
    {"http://api.vetrf.ru/schema/cdm/application", "apl"},
    {"http://api.vetrf.ru/schema/cdm/application/ws-definitions", "apldef"},
    {"http://api.vetrf.ru/schema/cdm/registry/ws-definitions/v2", "v2"},
    {"http://api.vetrf.ru/schema/cdm/base/ws-definitions", "bsdef"},
    {"", ""},
}};

} // namespace

std::string_view namespaceUri(Ns ns)
{
    return kNamespaces[static_cast<std::size_t>(ns)].uri;
}

std::string_view usualPrefix(Ns ns)
{
    return kNamespaces[static_cast<std::size_t>(ns)].prefix;
}

Ns namespaceFromUri(std::string_view uri)
{
    if (uri.empty())
        return Ns::None;
    for (std::size_t i = 1; i < static_cast<std::size_t>(Ns::Unknown); ++i) {
        if (kNamespaces[i].uri == uri)
            return static_cast<Ns>(i);
    }
    return Ns::Unknown;
}

Ns namespaceFromPrefix(std::string_view prefix)
{
    if (prefix == "base")
        return Ns::Base;
    if (prefix == "ikar")
        return Ns::Dict;
    for (std::size_t i = 1; i < static_cast<std::size_t>(Ns::Unknown); ++i) {
        if (kNamespaces[i].prefix == prefix)
            return static_cast<Ns>(i);
    }
    return Ns::Unknown;
}

} // namespace vetissim
