// The usage text of the command line: the lines shown for "?", "/?" and
// the batch option "/?", as code page 850 texts of at most 65 characters.
#pragma once

#include <string>
#include <vector>

namespace planox {

inline constexpr std::size_t UsageLineLength = 65;

std::vector<std::string> UsageLines();

// The long options that follow the usage text ("--help", "--version",
// "--export", "--size"), in the same form.
std::vector<std::string> LongOptionLines();

// Both parts on standard output.
void PrintUsage();

}  // namespace planox
