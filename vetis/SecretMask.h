// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <string>
#include <string_view>

// Texts that leave the program for a person to read (the transport trace, the
// XML exchange files) must not carry the credentials of the access settings:
// the API key travels in every application envelope, the login and password in
// the Authorization header of every request.
namespace vetis {

// The text with "***" in place of
//  - the content of every apiKey element, whatever its prefix (or none), its
//    attributes, its CDATA sections or nested markup; an element that is still
//    open where the text ends is masked to the end;
//  - the value of every Authorization or Proxy-Authorization header that
//    starts a line or follows "[" (libcurl's HTTP/2 trace form), after its
//    scheme word when there is one, up to the line end ("]" and "<" end it too).
// Everything else is kept byte for byte, and an empty value stays empty.
// Masking a leading part of a text never reveals more of a key than masking
// the whole text does: a key whose element opens in that part is masked to its end.
std::string maskSecrets(std::string_view text);

} // namespace vetis
