#pragma once

// Character traits of the LocaleWin32 model, usable as
// boost::basic_regex<char, Win32RegexTraits>.
//
// Character classification follows the user's default locale, the one the
// environment names (LC_ALL, else LC_CTYPE, else LANG), not the process's
// current C locale. Syntax characters (ids 1-59), error texts (200 + code)
// and extra class names (300-313) come from this class's own process-wide
// message catalogue, a locale DLL; with none installed, the engine's
// built-in ones. It is independent of the catalogue of cpp_regex_traits.
//
// The catalogue is read when a traits object is made. A basic_regex keeps
// its traits across assign(), so after catalog_name() compile into a fresh
// basic_regex to see the new catalogue.

#include <map>
#include <memory>
#include <string>

#include <boost/regex.hpp>

namespace RegexClass {
namespace detail {

class Win32RegexTraits : public boost::cpp_regex_traits<char>
{
    struct Data
    {
        boost::regex_constants::syntax_type charMap[256] = {};
        std::map<int, std::string> errorStrings;              // empty without a catalogue
        std::map<std::string, char_class_type> classNames;    // from the catalogue
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

    std::shared_ptr<const Data> m_data;
};

} // namespace detail
} // namespace RegexClass
