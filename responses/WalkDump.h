// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/ProcessSettings.h"

#include <cstddef>
#include <string>
#include <string_view>

// Reads an answer into the lists of one kind and writes them as text, for the
// command line ("walk") and for comparing answers:
//
//   RLOAD=n ROFFSET=n RCOUNT=n RTOTAL=n
//   # <list name>
//   <field names, tab-separated>
//   <one line per entry: texts in UTF-8 without trailing blanks, numbers in decimal>
//
// Tabs, line breaks and backslashes inside texts are written as \t, \n, \r, \\.
//
// A VSD answer gives the VSD list and its nine contents lists.
namespace responses {

struct WalkDumpResult
{
    bool knownKind = false; // false: nothing was read
    int result = 0;         // the walker's result (entries, or -1 / -2)
    std::string problem;    // why the answer was refused (UTF-8); empty when it was read
    std::string text;       // empty when the answer was refused
};

// Answers longer than maxBytes are refused unread.
[[nodiscard]] WalkDumpResult walkDump(std::string_view kind, std::string_view answer,
                                      std::size_t maxBytes = framework::process::maxAnswerBytes());

// Appends a text with its tabs, line breaks and backslashes written as \t,
// \n, \r and \\, so that an entry stays one line (the table dump of the
// command line writes its rows the same way).
void appendEscaped(std::string& out, std::string_view utf8);

} // namespace responses
