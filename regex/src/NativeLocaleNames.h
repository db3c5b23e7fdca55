#pragma once

// The user's language and country as the user's own language names them
// ("Deutsch", "Deutschland"): from the C library's locale data, or on Windows
// from GetLocaleInfoA for the user's default locale. Text is in the platform's
// narrow encoding: UTF-8, or the ANSI code page on Windows, the encoding in
// which module names are handed to the system.

#include <cstddef>
#include <string>

namespace RegexClass {
namespace detail {

struct NativeLocaleNames {
    std::string language;  // empty when unavailable
    std::string country;   // empty when unavailable
};

// POSIX: names of the locale the environment selects for addresses: LC_ALL,
// else LC_ADDRESS, else LANG; both empty for C/POSIX or a locale not
// installed. Windows: LOCALE_SNATIVELANGNAME and LOCALE_SNATIVECTRYNAME.
NativeLocaleNames UserNativeLocaleNames();

// The first `count` characters of the text (the whole text when shorter).
// In UTF-8 a byte that does not start a valid sequence counts as one character.
std::string FirstCharacters(const std::string& text, std::size_t count);

// Number of characters in the text, counted as FirstCharacters does.
std::size_t CharacterCount(const std::string& text);

}  // namespace detail
}  // namespace RegexClass
