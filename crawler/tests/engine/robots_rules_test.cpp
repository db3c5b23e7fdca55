// robots.txt: the group for the crawler's agent or "*", longest match, Allow on ties.

#include <gtest/gtest.h>

#include "RobotsRules.h"

#include <random>

using plovik::RobotsRules;

namespace {

struct RobotsCase {
    const char* pName;
    const char* pText;
    const char* pTarget;
    bool bAllowed;
};

TEST(RobotsRules, DecideByGroupAndLongestMatch)
{
    const char* const kGroups = "# comment line\n"
                                "User-agent: *\n"
                                "Disallow: /\n"
                                "\n"
                                "User-agent: OtherBot\n"
                                "User-Agent: PLOVIK  # ours, in capitals\n"
                                "Disallow: /private/\n"
                                "Allow: /private/open\n"
                                "Sitemap: http://host/sitemap.xml\n"
                                "user-agent: plovik\n"  // a second group of ours: its rules add up
                                "disallow: /tmp\n";
    const char* const kTies = "User-agent: *\r\nDisallow: /page\r\nAllow: /page\r\nDisallow: /a$\r\n";
    const char* const kWild = "User-agent: *\nDisallow: /*.cgi$\nDisallow: /s*/deep\nAllow: /s*/deep/ok\n";
    const RobotsCase cases[] = {
        {"own group over *", kGroups, "/", true},
        {"own group disallows", kGroups, "/private/x.html", false},
        {"longer allow wins", kGroups, "/private/open/x", true},
        {"second own group", kGroups, "/tmp/file", false},
        {"prefix is not a segment", kGroups, "/tmpfile", false},
        {"query is part of the target", kGroups, "/x?/private/", true},
        {"star group when none names us", "User-agent: x\nAllow: /\nUser-agent: *\nDisallow: /a\n", "/a/b", false},
        {"other agents' rules ignored", "User-agent: x\nDisallow: /\n", "/a", true},
        {"allow on a tie", kTies, "/page.html", true},
        {"dollar anchors the end", kTies, "/a", false},
        {"dollar lets longer paths pass", kTies, "/ab", true},
        {"star and dollar", kWild, "/bin/run.cgi", false},
        {"star and dollar, more after", kWild, "/bin/run.cgi?x", true},
        {"star inside", kWild, "/some/where/deep/x", false},
        {"longer allow with star", kWild, "/some/deep/ok", true},
        {"empty disallow matches nothing", "User-agent: *\nDisallow:\n", "/x", true},
        {"rules before any agent ignored", "Disallow: /\nUser-agent: *\nAllow: /x\n", "/y", true},
        {"escapes compared decoded", "User-agent: *\nDisallow: /%7Euser\n", "/~user/a", false},
        {"escape case ignored", "User-agent: *\nDisallow: /a%2fb\n", "/a%2Fb", false},
        {"robots.txt itself allowed", "User-agent: *\nDisallow: /\n", "/robots.txt", true},
        {"empty file allows all", "", "/x", true},
    };
    for (const RobotsCase& c : cases)
        EXPECT_EQ(RobotsRules(c.pText, "Plovik").Allows(c.pTarget), c.bAllowed) << c.pName;
}

// A plain backtracking matcher, exponential but obviously right, for short texts.
bool ReferenceMatch(const std::string& p, std::size_t i, const std::string& t, std::size_t j)
{
    if (i == p.size())
        return true;  // a prefix of the path is enough
    if (p[i] == '$' && i + 1 == p.size())
        return j == t.size();
    if (p[i] == '*')
        return ReferenceMatch(p, i + 1, t, j) || (j < t.size() && ReferenceMatch(p, i, t, j + 1));
    return j < t.size() && p[i] == t[j] && ReferenceMatch(p, i + 1, t, j + 1);
}

TEST(RobotsRules, WildcardsMatchLikeABacktrackingMatcher)
{
    std::mt19937 random(7);
    const char kPatternBytes[] = "ab/*";
    const char kPathBytes[] = "ab/";
    for (int n = 0; n < 20000; ++n) {
        std::string strPattern = "/", strPath = "/";
        for (int i = static_cast<int>(random() % 7); i > 0; --i)
            strPattern += kPatternBytes[random() % 4];
        if (random() % 3 == 0)
            strPattern += '$';
        for (int i = static_cast<int>(random() % 9); i > 0; --i)
            strPath += kPathBytes[random() % 3];
        const RobotsRules rules("User-agent: *\nDisallow: " + strPattern + "\n", "Plovik");
        ASSERT_EQ(!rules.Allows(strPath), ReferenceMatch(strPattern, 0, strPath, 0))
            << strPattern << " against " << strPath;
    }
}

// Several rules at once, alike at their start as hostile files make them: the
// longest matching one decides, Allow on a tie.
TEST(RobotsRules, ManyRulesDecideLikeABacktrackingMatcher)
{
    std::mt19937 random(3);
    const char* const kStarts[] = {"/", "/a", "/*a", "/a*b", "/*a*a"};
    const char kPatternBytes[] = "ab/*";
    const char kPathBytes[] = "ab/";
    for (int n = 0; n < 5000; ++n) {
        std::string strFile = "User-agent: *\n";
        std::vector<std::pair<std::string, bool>> rules;
        for (int r = 1 + static_cast<int>(random() % 6); r > 0; --r) {
            std::string strPattern = kStarts[random() % 5];
            for (int i = static_cast<int>(random() % 4); i > 0; --i)
                strPattern += kPatternBytes[random() % 4];
            if (random() % 4 == 0)
                strPattern += '$';
            const bool bAllow = random() % 2 == 0;
            rules.emplace_back(strPattern, bAllow);
            strFile += (bAllow ? "Allow: " : "Disallow: ") + strPattern + "\n";
        }
        std::string strPath = "/";
        for (int i = static_cast<int>(random() % 9); i > 0; --i)
            strPath += kPathBytes[random() % 3];
        bool bExpected = true;
        std::size_t nBest = 0;
        bool bMatched = false;
        for (const auto& rule : rules) {
            if (!ReferenceMatch(rule.first, 0, strPath, 0))
                continue;
            const std::size_t nLength = rule.first.size();
            if (!bMatched || nLength > nBest || (nLength == nBest && rule.second)) {
                bExpected = rule.second;
                nBest = nLength;
                bMatched = true;
            }
        }
        ASSERT_EQ(RobotsRules(strFile, "Plovik").Allows(strPath), bExpected) << strFile << "path " << strPath;
    }
}

// Very long paths are searched without the index of their substrings.
TEST(RobotsRules, LongPathsMatchAsShortOnes)
{
    const RobotsRules rules("User-agent: *\nDisallow: /*a*b/x$\nAllow: /*a*b/y\nDisallow: /*c*d\nDisallow: /*bb\n",
                            "Plovik");
    for (const std::size_t nLength : {std::size_t(10), std::size_t(100000)}) {
        const std::string strLong = "/" + std::string(nLength, 'a');
        EXPECT_FALSE(rules.Allows(strLong + "b/x")) << nLength;
        EXPECT_TRUE(rules.Allows(strLong + "b/x/")) << nLength;
        EXPECT_TRUE(rules.Allows(strLong + "b/y/z")) << nLength;
        EXPECT_TRUE(rules.Allows(strLong + "dc")) << nLength;
        EXPECT_FALSE(rules.Allows("/c" + strLong + "d")) << nLength;
        EXPECT_FALSE(rules.Allows(strLong + "bbb")) << nLength;
    }
}

TEST(RobotsRules, PathsCountAsTheServerReadsThem)
{
    const RobotsRules rules("User-agent: *\nDisallow: /private\nDisallow: /a%2Fb\nAllow: /private/ok$\n", "Plovik");
    const RobotsCase cases[] = {
        {"dot-dot escaped", "", "/x/%2e%2e/private/secret.html", false},
        {"dot-dot in capitals", "", "/x/%2E%2E/private/", false},
        {"dot segments", "", "/x/./y/../../private", false},
        {"above the root", "", "/../../private/a", false},
        {"escaped letters", "", "/%70rivate/a", false},
        {"dot segments in the query stay", "", "/x/?/../private", true},
        {"an escaped slash is no separator", "", "/private%2F..%2Fpublic", false},
        {"an escaped slash stays escaped", "", "/a/b", true},
        {"longer allow after dot segments", "", "/q/../private/ok", true},
        {"trailing dot-dot", "", "/private/x/..", false},
        {"a segment that only starts with dots", "", "/x/..private", true},
    };
    for (const RobotsCase& c : cases)
        EXPECT_EQ(rules.Allows(c.pTarget), c.bAllowed) << c.pName;
}

TEST(RobotsRules, ByteOrderMarkDoesNotHideTheFirstGroup)
{
    const RobotsRules rules("\xEF\xBB\xBFUser-agent: *\nDisallow: /private\n", "Plovik");
    EXPECT_EQ(rules.RuleCount(), 1u);
    EXPECT_FALSE(rules.Allows("/private/a"));
}

// Only the first kMaxRobotsBytes are read; a line the cap cuts is dropped whole.
TEST(RobotsRules, ReadsUpToTheCap)
{
    std::string strFile = "User-agent: *\n";
    const std::string strFiller = "Disallow: /filler\n";
    while (strFile.size() + strFiller.size() + 40 <= plovik::kMaxRobotsBytes)
        strFile += strFiller;
    const std::size_t nInside = (strFile.size() - 14) / strFiller.size();
    // Cut by the cap after "/cut": the rule would otherwise disallow "/cutoff".
    strFile += std::string(plovik::kMaxRobotsBytes - strFile.size() - 15, '#') + "\nDisallow: /cut" +
        std::string("off\nDisallow: /beyond\n");
    const RobotsRules rules(strFile, "Plovik");
    EXPECT_EQ(rules.RuleCount(), nInside);
    EXPECT_FALSE(rules.Allows("/filler"));
    EXPECT_TRUE(rules.Allows("/cutter"));
    EXPECT_TRUE(rules.Allows("/beyond"));
}

TEST(RobotsRules, NoRulesAllowEverything)
{
    EXPECT_TRUE(RobotsRules().Allows("/anything"));
    EXPECT_EQ(RobotsRules().RuleCount(), 0u);
}

}  // namespace
