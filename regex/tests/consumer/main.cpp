// A program outside the project that uses the installed library.
#include <vantrel/RegularExpression.h>

#include <cstdio>

int main() {
    RegexClass::RegularExpression re;
    re.SetExpression("a(b)");
    if (re.ParseExpression() != RegexClass::RegularExpression::NoError) return 1;
    std::printf("%u\n", re.NumberOfSubexpressions());
    return re.NumberOfSubexpressions() == 1 ? 0 : 1;
}
