// The standard rules' reading of a page: the hrefs an HTML5 parser sees, and the
// links they make.

#include <gtest/gtest.h>

#include "StandardLinks.h"

using namespace plovik;

namespace {

struct PageCase {
    const char* pName;
    const char* pHtml;
    std::vector<std::string> links;
};

TEST(StandardLinks, ReadAnchorsAsAnHtmlParserDoes)
{
    const char* const kPage = "http://host/dir/page.html";
    // The loopback crawls cover quoting, entities, <area>, comments and scripts, the
    // extension filter and <base>; these are the parser's finer points.
    const PageCase cases[] = {
        {"styles and textareas hold no markup",
         "<style>a[href=\"t.html\"]{}</style><textarea><a href=\"x.html\"></textarea><a href=\"real.html\">r</a>",
         {"http://host/dir/real.html"}},
        {"no href, no link", "<a name=\"top\">t</a><a>n</a><link href=\"style.html\">", {}},
        {"unclosed anchors",
         "<a href=\"u1.html\">one<a href=\"u2.html\">two",
         {"http://host/dir/u1.html", "http://host/dir/u2.html"}},
        {"only http and https",
         "<a href=\"mailto:me\">m</a><a href=\"javascript:go()\">j</a>"
         "<a href=\"https://s/\">s</a><a href=\"ftp://f/\">f</a>",
         {"https://s/"}},
        {"first base counts for links before it",
         "<a href=\"before.html\">b</a><base href=\"http://Base.Host/root/\">"
         "<base href=\"/ignored/\"><a href=\"after.html\">a</a>",
         {"http://base.host/root/before.html", "http://base.host/root/after.html"}},
        {"relative base",
         "<head><base href=\"../other/\"></head><a href=\"x.html\">x</a>",
         {"http://host/other/x.html"}},
        {"base without href does not count",
         "<base target=\"_top\"><base href=\"/b/\"><a href=\"x\">x</a>",
         {"http://host/b/x"}},
        {"svg anchors are not html anchors", "<svg><a href=\"svg.html\"><text>s</text></a></svg>", {}},
    };
    for (const PageCase& c : cases) {
        std::vector<std::string> links;
        AddStandardLinks(c.pHtml, kPage, links);
        EXPECT_EQ(links, c.links) << c.pName;
    }
}

std::string Nested(const char* pTag, int nDepth, const std::string& strInside)
{
    std::string page;
    for (int i = 0; i < nDepth; ++i)
        page += pTag;
    return page + strInside;
}

TEST(StandardLinks, DeepPagesWithinTheBudgetAreRead)
{
    std::vector<std::string> links;
    AddStandardLinks(Nested("<div>", 3000, "<a href=\"deep.html\">d</a>"), "http://host/", links);
    EXPECT_EQ(links, std::vector<std::string>{"http://host/deep.html"});
    // Siblings do not nest, however many.
    std::string flat;
    for (int i = 0; i < 10000; ++i)
        flat += "<p>text<li><a href=\"x\">x</a><br><img src=\"i\">";
    EXPECT_LT(NestingWork(flat), 1000u);
}

TEST(StandardLinks, PagesNestedBeyondTheParsersBudgetGiveNoLinks)
{
    for (const char* pTag : {"<div>", "<b>", "<span class=x>"}) {
        const std::string page = Nested(pTag, 200000, "<a href=\"deep.html\">d</a>");
        EXPECT_GT(NestingWork(page), kMaxNestingWork) << pTag;
        std::vector<std::string> links;
        AddStandardLinks(page, "http://host/", links);
        EXPECT_TRUE(links.empty()) << pTag;
    }
}

}  // namespace
