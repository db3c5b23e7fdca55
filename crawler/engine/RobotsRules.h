#pragma once
// A site's robots.txt (RFC 9309) as it applies to one crawler: the rules of the
// group for its user agent, else of the group for "*"; the longest matching Allow or
// Disallow path wins, Allow on a tie. No rules allow everything.

#include <string>
#include <vector>

namespace plovik {

class RobotsRules {
public:
    // Allows everything (no robots.txt, or an unreachable one).
    RobotsRules() = default;
    // The rules of strText for the product token strAgent (compared ignoring case).
    RobotsRules(const std::string& strText, const std::string& strAgent);

    // strTarget: a path beginning with "/", with its query.
    bool Allows(const std::string& strTarget) const;

    std::size_t RuleCount() const { return m_rules.size(); }

private:
    struct Rule {
        std::string strPattern;  // in comparison form; "*" any run, a final "$" the end
        bool bAllow = false;
    };
    std::vector<Rule> m_rules;
};

}  // namespace plovik
