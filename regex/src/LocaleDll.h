#pragma once

// Finding the locale DLL named by an object, and the three strings the
// component itself reads from it.

#include <string>
#include <vector>

namespace RegexClass {
namespace detail {

// String ids the component reads from a locale DLL.
enum LocaleDllStringId : unsigned {
    kSpaceClassStringId = 143,
    kEmptyExpressionStringId = 251,
    kLocaleDllMessageStringId = 252,
};

struct LocaleDllStrings {
    char spaceClassLetter = 0;           // 0 = none read
    std::string emptyExpressionMessage;  // empty = built-in text
    std::string localeDllMessage;        // empty = built-in text
};

// The space-class letter a module's string 143 gives: its first character
// when that is an ASCII letter, else 0 (none).
char SpaceClassLetterOf(const std::string& text);

// Syntax characters a module leaves to the engine's defaults lose its
// space-class letter, which becomes the escape of the space class; the
// engine's own catalogue has no entry for it.
constexpr unsigned kSpaceClassNameStringId = 309;  // catalogue class name of [[:space:]]

// Turns a locale DLL name into the file name of a module that loads, or "".
// Fills `strings` from strings 143/251/252 of the module that loaded; leaves
// them alone when nothing loads.
std::string ResolveLocaleDll(const std::string& name, LocaleDllStrings& strings);

// "\s+", with the space-class letter in place of 's' for models 0 (LocaleCpp)
// and 1 (LocaleWin32) when the letter is not 0. Values outside 0..2 count as
// LocaleCpp, as they do for compiling.
std::string DefaultSplitSeparator(char spaceClassLetter, int localeModel);

// Whether the part of `name` after its last '\' or '/' contains a '.'.
bool LocaleDllHasExtension(const std::string& name);

// The file names resolution tries, in order, for the given native names of
// the user's language and country (empty = unavailable).
std::vector<std::string> LocaleDllCandidates(const std::string& name, const std::string& language,
                                             const std::string& country);

// Same, with the names of the user's default locale.
std::vector<std::string> LocaleDllCandidates(const std::string& name);

}  // namespace detail
}  // namespace RegexClass
