// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <pugixml.hpp>

#include <string_view>

// Names of elements in the services' answers, for the few elements near the
// root that are read by name (the envelope, its Fault, an application).
// Whole answers are walked with PrefixBindings instead.
namespace vetis {

// The local part of a qualified name ("apl:status" -> "status").
std::string_view localName(std::string_view qualified);

// The namespace URI of an element: its prefix (or the default namespace)
// resolved through the declarations of its ancestors; empty when none binds
// it. It walks up the whole chain, so it is for elements near the root.
std::string_view namespaceOf(const pugi::xml_node& element);

} // namespace vetis
