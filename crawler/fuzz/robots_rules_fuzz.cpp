// robots.txt read for one crawler and asked about paths.
//
// Input: the first line is a path to ask about, the rest is the robots.txt text.
// Invariants: no rules allow everything; /robots.txt itself is always allowed; the
// agent's name is compared ignoring case; a group for another agent put in front
// changes nothing; a path asks the same question whatever the spelling of its
// escapes (unreserved characters written as escapes, hex digits in either case).

#include "RobotsRules.h"
#include "TextFormat.h"

#include "FuzzSupport.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using plovik::RobotsRules;

bool IsUnreserved(unsigned char c)
{
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

bool IsHexDigit(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// Every unreserved character as an escape in lower-case hex; only for a path without
// '%', where no new escape can form with what is already there.
std::string EscapeUnreserved(const std::string& strPath)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : plovik::BytesOf(strPath)) {
        if (IsUnreserved(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// The hex digits of every escape in the other case: the escapes stay where they were.
std::string SwapEscapeCase(const std::string& strPath)
{
    std::string out = strPath;
    for (std::size_t i = 0; i + 2 < out.size(); ++i) {
        if (out[i] != '%' || !IsHexDigit(out[i + 1]) || !IsHexDigit(out[i + 2]))
            continue;
        for (std::size_t j = i + 1; j <= i + 2; ++j) {
            const unsigned char c = static_cast<unsigned char>(out[j]);
            out[j] = static_cast<char>(std::islower(c) ? std::toupper(c) : std::tolower(c));
        }
        i += 2;
    }
    return out;
}

void CheckPath(const std::string& strPath, const std::string& strText, const RobotsRules& rules)
{
    const bool bAllowed = rules.Allows(strPath);
    if (rules.RuleCount() == 0)
        FUZZ_CHECK(bAllowed);
    FUZZ_CHECK(RobotsRules(strText, "pLOVIK").Allows(strPath) == bAllowed);
    // Another agent's group in front, after a byte-order mark, which counts only at the start.
    const std::string strBom = "\xEF\xBB\xBF";
    const std::size_t nBom = strText.compare(0, strBom.size(), strBom) == 0 ? strBom.size() : 0;
    const RobotsRules otherFirst(strText.substr(0, nBom) + "User-agent: OtherBot\nDisallow: /\n" + strText.substr(nBom),
                                 "Plovik");
    FUZZ_CHECK(otherFirst.RuleCount() == rules.RuleCount());
    FUZZ_CHECK(otherFirst.Allows(strPath) == bAllowed);
    if (strPath == "/robots.txt")
        return;
    FUZZ_CHECK(rules.Allows(SwapEscapeCase(strPath)) == bAllowed);
    if (strPath.find('%') == std::string::npos)
        FUZZ_CHECK(rules.Allows(EscapeUnreserved(strPath)) == bAllowed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fuzz_support::FirstLineAndRest input = fuzz_support::SplitFirstLine(data, size);
    std::string strPath = input.strFirst;
    if (strPath.empty() || strPath[0] != '/')
        strPath.insert(0, "/");

    const RobotsRules rules(input.strRest, "Plovik");
    FUZZ_CHECK(rules.Allows("/robots.txt"));
    FUZZ_CHECK(RobotsRules().Allows(strPath));
    CheckPath(strPath, input.strRest, rules);
    CheckPath("/", input.strRest, rules);
    return 0;
}
