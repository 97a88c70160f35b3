// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <string>
#include <string_view>

// Secrets given as "-" on the command line are read from standard input, so
// that they appear neither in the process list nor in the shell's history.
namespace cli {

// Reads one line of standard input: the line without its line end (LF or
// CR LF); the last line may lack one. When standard input is a terminal the
// prompt goes to standard error first and what is typed is not echoed. False
// with `error` set when the input ends before a line begins or the line is
// longer than any field could hold.
[[nodiscard]] bool readSecretLine(std::string_view prompt, std::string& line, std::string& error);

} // namespace cli
