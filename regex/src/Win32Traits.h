#pragma once

// Character traits of the LocaleWin32 model, usable as
// boost::basic_regex<char, Win32RegexTraits>.
//
// Character classification follows the user's default locale: on Windows
// through the engine's own w32_regex_traits<char> (the Win32 locale API);
// elsewhere through cpp_regex_traits<char> imbued with the locale the
// environment names (LC_ALL, else LC_CTYPE, else LANG), not the process's
// current C locale. Syntax characters (ids 1-59), error texts (200 + code)
// and extra class names (300-313) come from this class's own process-wide
// message catalogue, a locale DLL read as a data file; with none installed,
// the engine's built-in ones. (The engine's w32_regex_traits would load the
// module as code, and read its catalogue once per process and locale.)
//
// The catalogue is read when a traits object is made. A basic_regex keeps
// its traits across assign(), so after catalog_name() compile into a fresh
// basic_regex to see the new catalogue.

#include <map>
#include <memory>
#include <string>

#include <boost/regex.hpp>
#if defined(_WIN32)
// Boost leaves these traits out of its defaults for GCC; they build and work
// with MinGW-w64.
#include <boost/regex/v5/w32_regex_traits.hpp>
#endif

namespace RegexClass {
namespace detail {

#if defined(_WIN32)
using Win32TraitsBase = boost::w32_regex_traits<char>;
#else
using Win32TraitsBase = boost::cpp_regex_traits<char>;
#endif

class Win32RegexTraits : public Win32TraitsBase {
    struct Data {
        boost::regex_constants::syntax_type charMap[256] = {};
        std::map<int, std::string> errorStrings;            // empty without a catalogue
        std::map<std::string, char_class_type> classNames;  // from the catalogue
    };

public:
    // Throws std::runtime_error ("Unable to open message catalog: NAME")
    // when a catalogue is installed and its module does not load.
    Win32RegexTraits();

    boost::regex_constants::syntax_type syntax_type(char c) const
    {
        return m_data->charMap[static_cast<unsigned char>(c)];
    }
    boost::regex_constants::escape_syntax_type escape_syntax_type(char c) const
    {
        return m_data->charMap[static_cast<unsigned char>(c)];
    }
    std::string error_string(boost::regex_constants::error_type n) const;
    char_class_type lookup_classname(const char* p1, const char* p2) const;
    // Takes the locale's classification; the catalogue stays this class's own.
    locale_type imbue(locale_type l);

    // Installs `name` (a module file name; empty = none) as the process-wide
    // catalogue and returns the previous one.
    static std::string catalog_name(const std::string& name);
    static std::string get_catalog_name();

private:
    void Build();
    // The base's class of a standard name ("lower", "space", ...).
    char_class_type BaseClass(const char* name) const;

    std::shared_ptr<const Data> m_data;
};

}  // namespace detail
}  // namespace RegexClass
