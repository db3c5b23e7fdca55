// A Windows program that knows the library only by its header and import
// library: a __stdcall callback, a closure, a locale and an exception cross
// the DLL boundary.
#include <vantrel/RegularExpression.h>

#include <cstdio>
#include <locale>
#include <stdexcept>
#include <string>
#include <vector>

using RegexClass::RegularExpression;
using RegexClass::REMatch;

namespace {

unsigned int g_grepped = 0;

void VANTREL_CALLBACK OnGrepping(RegularExpression*, const std::vector<REMatch>& match, unsigned int, unsigned int,
                                 bool&)
{
    if (match.at(1).text == "b")
        ++g_grepped;
}

int Fail(const char* what)
{
    std::printf("failed: %s\n", what);
    return 1;
}

}  // namespace

int main()
{
    RegularExpression re;
    re.SetLocale(std::locale::classic());
    re.SetExpression("a(b)");
    if (re.ParseExpression() != RegularExpression::NoError || re.NumberOfSubexpressions() != 1)
        return Fail("compile");

    re.SetStringToMatch("ab xab ab");
    re.SetOnGrepping(&OnGrepping);
    if (re.Grep() != 3 || g_grepped != 3)
        return Fail("grep with a __stdcall function");

    std::string found;
    re.SetOnSearchingClosure([&found](RegularExpression*, const std::vector<REMatch>& match, unsigned int,
                                      unsigned int) { found = match.at(0).text; });
    if (!re.Search() || found != "ab")
        return Fail("search with a closure");

    // The engine's runtime limit is a std::runtime_error thrown inside the DLL.
    re.SetExpression("(.+)+xyz");
    re.SetStringToMatch(std::string(1024, ' '));
    try {
        re.Search();
        return Fail("no exception from the engine's limit");
    } catch (const std::runtime_error&) {
    }
    std::printf("ok\n");
    return 0;
}
