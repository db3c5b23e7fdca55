#pragma once
// Cell texts as the three output layouts write them: addresses are raw bytes that
// need not be UTF-8 and may hold control bytes.

#include <cstddef>
#include <string>

namespace plovik {

// Control bytes as escapes (\r, \n, \t, \xNN), so they cannot garble a terminal.
std::string Printable(const std::string& s);

// Width on screen, counting each UTF-8 sequence as one column.
std::size_t DisplayWidth(const std::string& s);

// Length of the valid UTF-8 sequence at s[i], or 0 when the bytes there are not one.
std::size_t Utf8Length(const std::string& s, std::size_t i);

}  // namespace plovik
