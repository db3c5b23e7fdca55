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
    const PageCase cases[] = {
        {"quoting and case", "<A HREF=one.html>1</A><a href='two.html'>2</a><a hReF = \"three.html\">3</a>",
         {"http://host/dir/one.html", "http://host/dir/two.html", "http://host/dir/three.html"}},
        {"entities decoded", "<a href=\"a.html?x=1&amp;y=2&lt;\">a</a><a href=\"&#47;b&#x2e;html\">b</a>",
         {"http://host/dir/a.html?x=1&y=2<", "http://host/b.html"}},
        {"area elements", "<map><area shape=rect href=\"/map.html\"></map>", {"http://host/map.html"}},
        {"comments, scripts and styles",
         "<!-- <a href=\"c.html\">c</a> --><script>document.write('<a href=\"s.html\">')</script>"
         "<style>a[href=\"t.html\"]{}</style><textarea><a href=\"x.html\"></textarea><a href=\"real.html\">r</a>",
         {"http://host/dir/real.html"}},
        {"no href, no link", "<a name=\"top\">t</a><a>n</a><link href=\"style.html\">", {}},
        {"duplicates kept in order", "<a href=b.html>1</a><a href=a.html>2</a><a href=b.html>3</a>",
         {"http://host/dir/b.html", "http://host/dir/a.html", "http://host/dir/b.html"}},
        {"unclosed anchors", "<a href=\"u1.html\">one<a href=\"u2.html\">two", {"http://host/dir/u1.html", "http://host/dir/u2.html"}},
        {"extension filter on the resolved path",
         "<a href=\"pic.JPG\">p</a><a href=\"/x.pdf?v=1\">x</a><a href=\"get.zip#part\">z</a>"
         "<a href=\"list.html?f=a.zip\">l</a><a href=\"http://o/y.Exe\">y</a>",
         {"http://host/dir/list.html?f=a.zip"}},
        {"only http and https", "<a href=\"mailto:me\">m</a><a href=\"javascript:go()\">j</a>"
                                "<a href=\"https://s/\">s</a><a href=\"ftp://f/\">f</a>",
         {"https://s/"}},
        {"base element", "<a href=\"before.html\">b</a><base href=\"http://Base.Host/root/\"><base href=\"/ignored/\">"
                         "<a href=\"after.html\">a</a>",
         {"http://base.host/root/before.html", "http://base.host/root/after.html"}},
        {"relative base", "<head><base href=\"../other/\"></head><a href=\"x.html\">x</a>", {"http://host/other/x.html"}},
        {"base without href does not count", "<base target=\"_top\"><base href=\"/b/\"><a href=\"x\">x</a>",
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
    // Flat pages cost nothing however long: siblings do not nest.
    std::string flat;
    for (int i = 0; i < 100000; ++i)
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
