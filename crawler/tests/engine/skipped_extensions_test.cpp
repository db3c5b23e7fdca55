// The file extensions that neither link rules crawl: one list, and the text each
// rule matches it against.

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "LinkExtraction.h"
#include "StandardLinks.h"

using namespace plovik;

namespace {

const LinkBase kClassicPage{"host", "/dir/", 80};
const char* const kStandardPage = "http://host/dir/";

std::vector<std::string> ClassicRuleLinks(const std::string& strHref)
{
    std::vector<std::string> links;
    AddLink(kClassicPage, strHref, links);
    return links;
}

std::vector<std::string> StandardRuleLinks(const std::string& strHref)
{
    std::vector<std::string> links;
    AddStandardLinks("<a href=\"" + strHref + "\">x</a>", kStandardPage, links);
    return links;
}

TEST(SkippedExtensions, BothRulesSkipTheSameExtensionsInAnyLetterCase)
{
    const char* const kSkipped[] = {".jpg", ".png", ".gif", ".pdf", ".msi", ".exe", ".doc",
                                    ".xls", ".zip", ".mp3", ".ram", ".mpg", ".avi", ".vcf"};
    for (const char* pExtension : kSkipped) {
        std::string strUpper = pExtension;
        for (char& c : strUpper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (const std::string& strHref : {"file" + std::string(pExtension), "File" + strUpper}) {
            EXPECT_EQ(ClassicRuleLinks(strHref), std::vector<std::string>()) << "classic, " << strHref;
            EXPECT_EQ(StandardRuleLinks(strHref), std::vector<std::string>()) << "standard, " << strHref;
        }
    }
}

TEST(SkippedExtensions, NearMissesAreLinksInBothRules)
{
    for (const char* pHref : {"file.jpeg", "file.html", "filejpg", "file.jpg.html", "file.tar", "file.pd"}) {
        const std::string strExpected = std::string("http://host/dir/") + pHref;
        EXPECT_EQ(ClassicRuleLinks(pHref), std::vector<std::string>{strExpected}) << "classic, " << pHref;
        EXPECT_EQ(StandardRuleLinks(pHref), std::vector<std::string>{strExpected}) << "standard, " << pHref;
    }
}

// The classic rules match a relative href as written, query and fragment included;
// the standard rules match the path of any resolved link.
struct TextCase {
    const char* pHref;
    std::vector<std::string> classic;
    std::vector<std::string> standard;
};

TEST(SkippedExtensions, EachRuleMatchesItsOwnText)
{
    const TextCase cases[] = {
        {"file.jpg?size=2", {"http://host/dir/file.jpg?size=2"}, {}},
        {"file.jpg#top", {"http://host/dir/file.jpg#top"}, {}},
        {"page.html?picture=a.jpg", {}, {"http://host/dir/page.html?picture=a.jpg"}},
        {"/pic.jpg", {"http://host/pic.jpg"}, {}},
        {"http://host/file.zip", {"http://host/file.zip"}, {}},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(ClassicRuleLinks(c.pHref), c.classic) << "classic, " << c.pHref;
        EXPECT_EQ(StandardRuleLinks(c.pHref), c.standard) << "standard, " << c.pHref;
    }
}

}  // namespace
