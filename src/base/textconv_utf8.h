// Pieces of the text conversions (textconv.cpp) for readers of texts
// written in other encodings.
#pragma once

#include <string>
#include <string_view>

namespace planox {

// Windows-1252 bytes to UTF-8 ("?" for the five unassigned bytes).
std::string Cp1252ToUtf8(std::string_view ansi);
// Appends one code point to a UTF-8 text.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace planox
