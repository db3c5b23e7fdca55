// robots.txt: the group for the crawler's agent or "*", longest match, Allow on ties.

#include <gtest/gtest.h>

#include "RobotsRules.h"

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

TEST(RobotsRules, NoRulesAllowEverything)
{
    EXPECT_TRUE(RobotsRules().Allows("/anything"));
    EXPECT_EQ(RobotsRules().RuleCount(), 0u);
}

}  // namespace
