// The standard rules' reading of a page: the hrefs an HTML5 parser sees, and the
// links they make.

#include <gtest/gtest.h>

#include <thread>

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

std::string Repeated(const char* pPiece, int nCount, const std::string& strAfter)
{
    std::string page;
    for (int i = 0; i < nCount; ++i)
        page += pPiece;
    return page + strAfter;
}

// The links of a page read on a thread of its own, as the window's worker reads
// them: its stack is smaller than the main thread's.
std::vector<std::string> LinksOnAThread(const std::string& strPage)
{
    std::vector<std::string> links;
    std::thread worker([&] { AddStandardLinks(strPage, "http://host/", links); });
    worker.join();
    return links;
}

TEST(StandardLinks, HostileNestingGivesItsLinksWithoutCrashing)
{
    // Self-closing slashes on ordinary elements are ignored, stray end tags close
    // nothing: a tree builder would nest all of these hundreds of thousands deep.
    const std::pair<const char*, int> shapes[] = {
        {"<span/>", 300000}, {"<div/>", 60000}, {"<div></p>", 100000},      {"<span></zz>", 100000},
        {"<div>", 200000},   {"<b>", 200000},   {"<span class=x>", 200000}, {"<table><tr><td>", 50000},
    };
    for (const auto& shape : shapes) {
        const std::vector<std::string> links =
            LinksOnAThread(Repeated(shape.first, shape.second, "<a href=\"deep.html\">d</a>"));
        EXPECT_EQ(links, std::vector<std::string>{"http://host/deep.html"}) << shape.first;
    }
    // Foreign content nested as deep: its end closes it, and the anchor after it is HTML.
    const std::string svg = "<svg>" + Repeated("<g><path>", 100000, "</svg><a href=\"after.html\">a</a>");
    EXPECT_EQ(LinksOnAThread(svg), std::vector<std::string>{"http://host/after.html"});
}

TEST(StandardLinks, ALinkIsOneAnchorTagNotATreeBuildersClone)
{
    // Error recovery re-opens the <a> inside every block that follows it; the page
    // still has one anchor each time.
    const std::string anchor = "<p><a href=\"http://x/BesselJ/16/01/01/\"><div><blockquote><p><img src=a.png></p>"
                               "</blockquote></div></a></p>";
    const std::vector<std::string> links = LinksOnAThread(anchor + anchor + anchor);
    EXPECT_EQ(links, std::vector<std::string>(3, "http://x/BesselJ/16/01/01/"));
    // Misnested formatting elements around an anchor (the adoption agency's clones).
    EXPECT_EQ(LinksOnAThread("<b><a href=\"f.html\"><i>x</b>y</i></a><p>z"),
              std::vector<std::string>{"http://host/f.html"});
}

}  // namespace
