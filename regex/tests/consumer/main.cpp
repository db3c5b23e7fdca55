// A program outside the project that uses the installed library: compiling,
// a grep whose closure crosses the library boundary, a merge and a settings
// stream round trip.
#include <vantrel/RegularExpression.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

using RegexClass::RegularExpression;

int main()
{
    RegularExpression re;
    re.SetExpression("a(b)");
    if (re.ParseExpression() != RegularExpression::NoError || re.NumberOfSubexpressions() != 1)
        return 1;

    re.SetExpression("<a([^>]*)>");
    re.AddExpressionOption(RegularExpression::IgnoreCase);
    re.SetStringToMatch("<a href=x>1</a> <A b>");
    std::vector<std::string> anchors;
    re.SetOnGreppingClosure([&](RegularExpression*, const std::vector<RegexClass::REMatch>& m, unsigned int,
                                unsigned int, bool&) { anchors.push_back(m[1].text); });
    if (re.Grep() != 2 || anchors != std::vector<std::string>{" href=x", " b"})
        return 2;

    RegularExpression digits;
    digits.SetExpression("[0-9]");
    digits.SetStringToMatch("a1b2");
    digits.SetFormatString("<$0>");
    digits.SetMergeCopy(true);
    std::string merged;
    digits.Merge(merged);
    if (merged != "a<1>b<2>")
        return 3;

    std::stringstream settings;
    settings << digits;
    RegularExpression copy;
    if (!(settings >> copy) || !(copy == digits))
        return 4;

    std::printf("%u %s\n", re.NumberOfSubexpressions(), merged.c_str());
    return 0;
}
