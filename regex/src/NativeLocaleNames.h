#pragma once

// The user's language and country as the user's own language names them
// ("Deutsch", "Deutschland"), read from the C library's locale data.

#include <cstddef>
#include <string>

namespace RegexClass {
namespace detail {

struct NativeLocaleNames
{
    std::string language;  // UTF-8; empty when unavailable
    std::string country;   // UTF-8; empty when unavailable
};

// Names of the locale the environment selects for addresses: LC_ALL, else
// LC_ADDRESS, else LANG. Both empty for C/POSIX or a locale not installed.
NativeLocaleNames UserNativeLocaleNames();

// The first `count` characters of UTF-8 text (the whole text when shorter).
// A byte that does not start a valid sequence counts as one character.
std::string FirstCharacters(const std::string& utf8, std::size_t count);

// Number of characters in UTF-8 text, counted as FirstCharacters does.
std::size_t CharacterCount(const std::string& utf8);

} // namespace detail
} // namespace RegexClass
