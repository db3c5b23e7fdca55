#include "LocaleDll.h"

#include "NativeLocaleNames.h"
#include "PeModule.h"

namespace RegexClass {
namespace detail {

namespace {

// Longest module name whose strings are read, in characters.
constexpr std::size_t kMaxReadableNameChars = 255;

void ReadStrings(const PeModule& module, LocaleDllStrings& strings)
{
    std::string text;
    strings.spaceClassLetter = 0;
    // Only a single-byte character can stand in for 's' in "\s+".
    if (module.ReadString(kSpaceClassStringId, text) &&
        static_cast<unsigned char>(text[0]) < 0x80)
        strings.spaceClassLetter = text[0];
    if (!module.ReadString(kEmptyExpressionStringId, strings.emptyExpressionMessage))
        strings.emptyExpressionMessage.clear();
    if (!module.ReadString(kLocaleDllMessageStringId, strings.localeDllMessage))
        strings.localeDllMessage.clear();
}

} // namespace

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
        std::unique_ptr<PeModule> module = PeModule::Load(candidate);
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

} // namespace detail
} // namespace RegexClass
