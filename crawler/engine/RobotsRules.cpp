#include "RobotsRules.h"

#include "TextFormat.h"

#include <algorithm>

namespace plovik {

namespace {

bool IsUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Paths and patterns are compared in one form: escapes of unreserved characters
// decoded, other escapes in upper-case hex, bytes outside printable ASCII encoded.
std::string ComparisonForm(const std::string& s)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            const unsigned char decoded = static_cast<unsigned char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            if (IsUnreserved(decoded)) {
                out += static_cast<char>(decoded);
            } else {
                out += '%';
                out += kHex[decoded >> 4];
                out += kHex[decoded & 0xF];
            }
            i += 2;
        } else if (c <= 0x20 || c >= 0x7F) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Does the pattern match a prefix of the target ("$" at its end: all of it)?
// Greedy matching with backtracking to the last "*" only, so linear in practice.
bool PatternMatches(const std::string& strPattern, const std::string& strTarget)
{
    std::string p = strPattern;
    bool bAnchored = !p.empty() && p.back() == '$';
    if (bAnchored)
        p.pop_back();
    else
        p += '*';
    std::size_t i = 0, j = 0;
    std::size_t nStar = std::string::npos, nStarTarget = 0;
    while (j < strTarget.size()) {
        if (i < p.size() && p[i] == '*') {
            nStar = i++;
            nStarTarget = j;
        } else if (i < p.size() && p[i] == strTarget[j]) {
            ++i;
            ++j;
        } else if (nStar != std::string::npos) {
            i = nStar + 1;
            j = ++nStarTarget;
        } else {
            return false;
        }
    }
    while (i < p.size() && p[i] == '*')
        ++i;
    return i == p.size();
}

std::string TrimBlanks(const std::string& s)
{
    const auto nFirst = s.find_first_not_of(" \t");
    if (nFirst == std::string::npos)
        return std::string();
    return s.substr(nFirst, s.find_last_not_of(" \t") - nFirst + 1);
}

}  // namespace

RobotsRules::RobotsRules(const std::string& strText, const std::string& strAgent)
{
    struct Group {
        std::vector<std::string> agents;
        std::vector<Rule> rules;
    };
    std::vector<Group> groups;
    bool bInRules = false;  // the last record was a rule: a user-agent line starts a new group
    std::size_t nStart = 0;
    while (nStart <= strText.size()) {
        std::size_t nEnd = strText.find_first_of("\r\n", nStart);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        std::string strLine = strText.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        const auto nComment = strLine.find('#');
        if (nComment != std::string::npos)
            strLine.erase(nComment);
        const auto nColon = strLine.find(':');
        if (nColon == std::string::npos)
            continue;
        const std::string strKey = LowerAscii(TrimBlanks(strLine.substr(0, nColon)));
        const std::string strValue = TrimBlanks(strLine.substr(nColon + 1));
        if (strKey == "user-agent") {
            if (groups.empty() || bInRules)
                groups.emplace_back();
            groups.back().agents.push_back(LowerAscii(strValue));
            bInRules = false;
        } else if (strKey == "allow" || strKey == "disallow") {
            if (groups.empty())
                continue;  // rules before any user-agent line belong to no group
            bInRules = true;
            if (!strValue.empty())  // an empty value matches nothing
                groups.back().rules.push_back(Rule{ComparisonForm(strValue), strKey == "allow"});
        }
    }
    // All groups that name the agent count, else all that name "*".
    const auto names = [](const Group& g, const std::string& strName) {
        return std::find(g.agents.begin(), g.agents.end(), strName) != g.agents.end();
    };
    for (const std::string& strName : {LowerAscii(strAgent), std::string("*")}) {
        bool bNamed = false;
        for (const Group& g : groups)
            if (names(g, strName)) {
                bNamed = true;
                m_rules.insert(m_rules.end(), g.rules.begin(), g.rules.end());
            }
        if (bNamed)
            break;
    }
}

bool RobotsRules::Allows(const std::string& strTarget) const
{
    if (strTarget == "/robots.txt")
        return true;
    const std::string strCompared = ComparisonForm(strTarget);
    std::size_t nBest = 0;
    bool bAllowed = true;
    bool bMatched = false;
    for (const Rule& r : m_rules) {
        if (!PatternMatches(r.strPattern, strCompared))
            continue;
        const std::size_t nLength = r.strPattern.size();
        if (!bMatched || nLength > nBest || (nLength == nBest && r.bAllow)) {
            bAllowed = r.bAllow;
            nBest = nLength;
            bMatched = true;
        }
    }
    return bAllowed;
}

}  // namespace plovik
