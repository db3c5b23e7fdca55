#include "LocaleDll.h"

#include "NativeLocaleNames.h"
#include "ResourceModule.h"

namespace RegexClass {
namespace detail {

namespace {

// Longest module name whose strings are read, in characters.
constexpr std::size_t kMaxReadableNameChars = 255;

void ReadStrings(const ResourceModule& module, LocaleDllStrings& strings)
{
    std::string text;
    strings.spaceClassLetter = 0;
    if (module.ReadString(kSpaceClassStringId, text))
        strings.spaceClassLetter = SpaceClassLetterOf(text);
    if (!module.ReadString(kEmptyExpressionStringId, strings.emptyExpressionMessage))
        strings.emptyExpressionMessage.clear();
    if (!module.ReadString(kLocaleDllMessageStringId, strings.localeDllMessage))
        strings.localeDllMessage.clear();
}

}  // namespace

char SpaceClassLetterOf(const std::string& text)
{
    // Only a letter can stand in for 's' in "\s+": others are literals,
    // back-references or operators after a backslash.
    const char c = text.empty() ? 0 : text[0];
    return ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) ? c : 0;
}

bool LocaleDllHasExtension(const std::string& name)
{
    const std::size_t separator = name.find_last_of("\\/");
    const std::size_t start = separator == std::string::npos ? 0 : separator + 1;
    return name.find('.', start) != std::string::npos;
}

std::vector<std::string> LocaleDllCandidates(const std::string& name, const std::string& language,
                                             const std::string& country)
{
    if (!name.empty() && LocaleDllHasExtension(name))
        return {name};
    std::vector<std::string> candidates;
    if (!name.empty() && !language.empty()) {
        const std::string languagePart = FirstCharacters(language, 2);
        if (!country.empty())
            candidates.push_back(name + "." + languagePart + FirstCharacters(country, 1));
        candidates.push_back(name + "." + languagePart);
    }
    candidates.push_back(name + ".dll");
    return candidates;
}

std::vector<std::string> LocaleDllCandidates(const std::string& name)
{
    if (!name.empty() && LocaleDllHasExtension(name))
        return {name};
    const NativeLocaleNames names = UserNativeLocaleNames();
    return LocaleDllCandidates(name, names.language, names.country);
}

std::string ResolveLocaleDll(const std::string& name, LocaleDllStrings& strings)
{
    for (const std::string& candidate : LocaleDllCandidates(name)) {
        std::unique_ptr<ResourceModule> module = ResourceModule::Load(candidate);
        if (!module)
            continue;
        if (CharacterCount(candidate) <= kMaxReadableNameChars)
            ReadStrings(*module, strings);
        else
            strings = LocaleDllStrings();  // keep nothing from a module read earlier
        return candidate;
    }
    return std::string();
}

std::string DefaultSplitSeparator(char spaceClassLetter, int localeModel)
{
    const int localeC = 2;
    std::string separator = "\\s+";
    if (localeModel != localeC && spaceClassLetter != 0)
        separator[1] = spaceClassLetter;
    return separator;
}

}  // namespace detail
}  // namespace RegexClass
