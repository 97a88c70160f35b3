// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/XmlNames.h"

#include <string>

namespace vetis {

std::string_view localName(std::string_view qualified)
{
    const std::size_t colon = qualified.find(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

std::string_view namespaceOf(const pugi::xml_node& element)
{
    const std::string_view name = element.name();
    const std::size_t colon = name.find(':');
    std::string attribute = "xmlns";
    if (colon != std::string_view::npos) {
        attribute += ':';
        attribute += name.substr(0, colon);
    }
    for (pugi::xml_node n = element; n && n.type() == pugi::node_element; n = n.parent()) {
        const pugi::xml_attribute declaration = n.attribute(attribute.c_str());
        if (declaration)
            return declaration.value();
    }
    return {};
}

} // namespace vetis
