#pragma once
// A site's robots.txt (RFC 9309) as it applies to one crawler: the rules of the
// group for its user agent, else of the group for "*"; the longest matching Allow or
// Disallow path wins, Allow on a tie. No rules allow everything.
//
// A hostile file may hold many rules full of "*": only the first kMaxRobotsBytes of
// a file are read; each rule is matched without backtracking, its pieces looked up in
// an index of the path's substrings, the pieces it shares with the rule before it not
// placed again; and rules are tried longest first, so that the first match decides.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plovik {

// How much of a robots.txt is read; the rest is ignored (RFC 9309 lets a crawler
// stop at 500 KiB or more).
extern const std::size_t kMaxRobotsBytes;

class RobotsRules {
public:
    // Allows everything (no robots.txt, or one the site says is missing).
    RobotsRules() = default;
    // The rules of strText for the product token strAgent (compared ignoring case).
    RobotsRules(const std::string& strText, const std::string& strAgent);
    // Allows nothing but robots.txt itself (a robots.txt that could not be read).
    static RobotsRules DisallowAll();

    // strTarget: a path beginning with "/", with its query. Dot segments and escapes
    // of unreserved characters count as the server would read them.
    bool Allows(const std::string& strTarget) const;

    std::size_t RuleCount() const { return m_rules.size(); }

private:
    using ByteSet = std::array<std::uint64_t, 4>;
    struct Rule {
        std::size_t nLength = 0;  // of the pattern in comparison form: its specificity
        bool bAllow = false;
        bool bAnchored = false;  // the pattern ends with "$"
        bool bEndsWithStar = false;
        // The literal pieces between the stars, one after another, with the end of
        // each, their search tables, and every byte they need.
        std::string strLiterals;
        std::vector<std::uint32_t> pieceEnds;
        std::vector<std::uint32_t> borders;
        ByteSet needed{};
    };
    static Rule Compile(const std::string& strPattern, bool bAllow);
    class Scan;
    static bool Matches(const Rule& rule, Scan& scan);
    // Longest pattern first, Allow before Disallow among equals.
    void Order();

    std::vector<Rule> m_rules;
};

}  // namespace plovik
