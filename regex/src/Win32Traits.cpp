#include "Win32Traits.h"

#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "LocaleDll.h"
#include "ResourceModule.h"

namespace RegexClass {
namespace detail {

namespace {

namespace rc = boost::regex_constants;

// Standard class names in the order of catalogue ids 300-313.
const char* const kCatalogueClassNames[] = {"alnum", "alpha", "cntrl", "digit", "graph", "h",      "lower",
                                            "print", "punct", "space", "upper", "v",     "xdigit", "blank"};
constexpr unsigned kSyntaxIdFirst = 1;
constexpr unsigned kErrorIdBase = 200;
constexpr unsigned kClassNameIdBase = 300;

#if !defined(_WIN32)
// Messages facet for the base traits: it opens every catalogue and answers
// the built-in texts, so the base never reads cpp_regex_traits' catalogue.
class BuiltInMessages : public std::messages<char> {
protected:
    catalog do_open(const std::string&, const std::locale&) const override { return 0; }
    std::string do_get(catalog, int, int, const std::string& dfault) const override { return dfault; }
    void do_close(catalog) const override {}
};
#endif

// What a catalogue module contributes, read once per installation.
struct CatalogueTexts {
    std::vector<std::string> syntax;  // index = syntax id; empty = built-in
    std::map<int, std::string> errors;
    std::vector<std::pair<std::string, unsigned>> classNames;  // name, index into kCatalogueClassNames
    char spaceClassLetter = 0;                                 // escape of the space class (string 143); 0 = none
};

constexpr unsigned kSpaceClassIndex = 9;  // "space" in kCatalogueClassNames

struct CatalogueState {
    std::mutex mutex;
    std::string name;
    std::shared_ptr<const CatalogueTexts> texts;  // cache for `name`
    std::string localeName;
    std::unique_ptr<std::locale> locale;  // cache for `localeName`
};

CatalogueState& State()
{
    static CatalogueState state;
    return state;
}

#if !defined(_WIN32)
const char* EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return (value && *value) ? value : nullptr;
}

std::string UserLocaleName()
{
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        if (const char* value = EnvironmentValue(variable))
            return value;
    }
    return "C";
}
#endif

std::shared_ptr<const CatalogueTexts> ReadCatalogue(const std::string& name)
{
    std::unique_ptr<ResourceModule> module = ResourceModule::Load(name);
    if (!module)
        throw std::runtime_error("Unable to open message catalog: " + name);
    auto texts = std::make_shared<CatalogueTexts>();
    texts->syntax.resize(rc::syntax_max);
    std::string text;
    for (unsigned id = kSyntaxIdFirst; id < rc::syntax_max; ++id) {
        if (module->ReadString(id, text))
            texts->syntax[id] = text;
    }
    for (int code = 0; code <= rc::error_unknown; ++code) {
        if (module->ReadString(kErrorIdBase + static_cast<unsigned>(code), text))
            texts->errors[code] = text;
        else
            texts->errors[code] =
                boost::BOOST_REGEX_DETAIL_NS::get_default_error_string(static_cast<rc::error_type>(code));
    }
    for (unsigned j = 0; j < sizeof kCatalogueClassNames / sizeof kCatalogueClassNames[0]; ++j) {
        if (module->ReadString(kClassNameIdBase + j, text))
            texts->classNames.emplace_back(text, j);
    }
    if (module->ReadString(kSpaceClassStringId, text))
        texts->spaceClassLetter = SpaceClassLetterOf(text);
    if (texts->spaceClassLetter != 0)
        texts->classNames.emplace_back(std::string(1, texts->spaceClassLetter), kSpaceClassIndex);
    return texts;
}

}  // namespace

std::string Win32RegexTraits::catalog_name(const std::string& name)
{
    CatalogueState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    std::string previous = state.name;
    state.name = name;
    state.texts.reset();  // installing again reads the module again
    return previous;
}

std::string Win32RegexTraits::get_catalog_name()
{
    CatalogueState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.name;
}

#if defined(_WIN32)

// The base follows the user's default locale by itself.
Win32RegexTraits::Win32RegexTraits()
{
    Build();
}

Win32RegexTraits::locale_type Win32RegexTraits::imbue(locale_type l)
{
    locale_type previous = Win32TraitsBase::imbue(l);
    Build();
    return previous;
}

#else

Win32RegexTraits::Win32RegexTraits()
{
    std::locale locale;
    {
        CatalogueState& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        const std::string name = UserLocaleName();
        if (!state.locale || state.localeName != name) {
            std::locale user = std::locale::classic();
            try {
                user = std::locale(name.c_str());
            } catch (const std::runtime_error&) {
                // Not installed: classify as the C locale does.
            }
            state.locale.reset(new std::locale(user, new BuiltInMessages));
            state.localeName = name;
        }
        locale = *state.locale;
    }
    Win32TraitsBase::imbue(locale);
    Build();
}

Win32RegexTraits::locale_type Win32RegexTraits::imbue(locale_type l)
{
    locale_type previous = getloc();
    Win32TraitsBase::imbue(std::locale(l, new BuiltInMessages));
    Build();
    return previous;
}

#endif

Win32RegexTraits::char_class_type Win32RegexTraits::BaseClass(const char* name) const
{
    return Win32TraitsBase::lookup_classname(name, name + std::char_traits<char>::length(name));
}

void Win32RegexTraits::Build()
{
    std::shared_ptr<const CatalogueTexts> texts;
    {
        CatalogueState& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        if (!state.name.empty()) {
            if (!state.texts)
                state.texts = ReadCatalogue(state.name);
            texts = state.texts;
        }
    }

    auto data = std::make_shared<Data>();
    const char spaceLetter = texts ? texts->spaceClassLetter : 0;
    for (unsigned id = kSyntaxIdFirst; id < rc::syntax_max; ++id) {
        if (texts && !texts->syntax[id].empty()) {
            for (char c : texts->syntax[id])
                data->charMap[static_cast<unsigned char>(c)] = static_cast<rc::syntax_type>(id);
            continue;
        }
        const char* chars = boost::BOOST_REGEX_DETAIL_NS::get_default_syntax(static_cast<rc::syntax_type>(id));
        for (; chars && *chars; ++chars) {
            // The module's space-class letter takes over from a built-in role.
            if (*chars != spaceLetter)
                data->charMap[static_cast<unsigned char>(*chars)] = static_cast<rc::syntax_type>(id);
        }
    }
    // Letters with no syntax role are class escapes (\w, \D, ...), as in the engine.
    const char_class_type lower = BaseClass("lower"), upper = BaseClass("upper");
    for (unsigned c = 'A'; c <= 0xFF; ++c) {
        if (data->charMap[c] != 0)
            continue;
        const char ch = static_cast<char>(c);
        if (isctype(ch, lower))
            data->charMap[c] = rc::escape_type_class;
        else if (isctype(ch, upper))
            data->charMap[c] = rc::escape_type_not_class;
    }
    if (spaceLetter != 0) {
        const auto slot = static_cast<unsigned char>(spaceLetter);
        if (data->charMap[slot] == 0 || data->charMap[slot] == rc::escape_type_not_class)
            data->charMap[slot] = rc::escape_type_class;
    }
    if (texts) {
        data->errorStrings = texts->errors;
        for (const auto& entry : texts->classNames) {
            data->classNames.emplace(entry.first, BaseClass(kCatalogueClassNames[entry.second]));
        }
    }
    m_data = std::move(data);
}

std::string Win32RegexTraits::error_string(boost::regex_constants::error_type n) const
{
    const auto found = m_data->errorStrings.find(n);
    if (found != m_data->errorStrings.end())
        return found->second;
    return boost::BOOST_REGEX_DETAIL_NS::get_default_error_string(n);
}

Win32RegexTraits::char_class_type Win32RegexTraits::lookup_classname(const char* p1, const char* p2) const
{
    if (!m_data->classNames.empty()) {
        auto found = m_data->classNames.find(std::string(p1, p2));
        if (found == m_data->classNames.end()) {
            std::string lower(p1, p2);
            for (char& c : lower)
                c = tolower(c);
            found = m_data->classNames.find(lower);
        }
        if (found != m_data->classNames.end())
            return found->second;
    }
    return Win32TraitsBase::lookup_classname(p1, p2);
}

}  // namespace detail
}  // namespace RegexClass
