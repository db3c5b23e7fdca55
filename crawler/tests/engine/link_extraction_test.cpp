// Link extraction: the anchor pass, the attribute pass and the resolution of links.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LinkExtraction.h"

using plovik::AddLink;
using plovik::AnchorPassResult;
using plovik::ExtractHref;
using plovik::LinkBase;
using plovik::RunAnchorPass;

namespace {

const LinkBase kDirPage{"host", "/dir/", 80};

std::vector<std::string> Links(const std::string& strText, const LinkBase& base = kDirPage)
{
    std::vector<std::string> links;
    RunAnchorPass(strText, base, links);
    return links;
}

std::vector<std::string> Resolve(const std::string& strHref, const LinkBase& base)
{
    std::vector<std::string> links;
    AddLink(base, strHref, links);
    return links;
}

struct ResolveCase {
    const char* pHref;
    LinkBase base;
    std::vector<std::string> expected;
};

TEST(AddLink, ResolvesAndFiltersByTheThreeCases)
{
    const LinkBase kFilePage{"host", "/dir/index.html", 80};
    const LinkBase kPortPage{"host", "/dir/", 8080};
    const LinkBase kQueryPage{"host", "/dir/?page=2", 80};
    const ResolveCase cases[] = {
        {"/x.html", kDirPage, {"http://host/x.html"}},
        {"page.html", kDirPage, {"http://host/dir/page.html"}},
        {"http://other/", kDirPage, {"http://other/"}},
        {"#top", kDirPage, {}},
        {"MAILTO:me", kDirPage, {}},
        {"https://host/", kDirPage, {}},
        {"javascript:go()", kDirPage, {}},
        {"aim:goim?x", kDirPage, {}},
        {"pic.JPG", kDirPage, {}},
        {"a.vcf", kDirPage, {}},
        {"setup.Exe", kDirPage, {}},
        {"/pic.jpg", kDirPage, {"http://host/pic.jpg"}},
        {"http://host/file.zip", kDirPage, {"http://host/file.zip"}},
        {"HTTP://other/", kDirPage, {"http://host/dir/HTTP://other/"}},
        {"ftp://x/", kDirPage, {"http://host/dir/ftp://x/"}},
        {"", kDirPage, {"http://host/dir/"}},
        {"../up.html?q=1#f", kDirPage, {"http://host/dir/../up.html?q=1#f"}},
        {"page.html", kFilePage, {}},
        {"", kFilePage, {}},
        {"/x.html", kFilePage, {"http://host/x.html"}},
        {"http://other/", kFilePage, {"http://other/"}},
        // A page on another port keeps that port in every rebuilt address.
        {"/x.html", kPortPage, {"http://host:8080/x.html"}},
        {"page.html", kPortPage, {"http://host:8080/dir/page.html"}},
        {"http://host/abs.html", kPortPage, {"http://host/abs.html"}},
        // A query belongs to the object path, so relative links there are dropped.
        {"page.html", kQueryPage, {}},
    };
    for (const ResolveCase& c : cases)
        EXPECT_EQ(Resolve(c.pHref, c.base), c.expected)
            << "href \"" << c.pHref << "\" on " << c.base.strServer << ":" << c.base.nPort << c.base.strObject;
}

struct HrefCase {
    const char* pAttributes;
    const char* pExpected;
};

TEST(ExtractHref, TakesTheLastExactlyNamedHref)
{
    const HrefCase cases[] = {
        {"href=\"a.html\"", "a.html"},
        {" class=\"x\" href=\"a.html\"", "a.html"},
        {"href='a.html'", "a.html"},
        {"href=\"a.html\" href=\"b.html\"", "b.html"},
        {"HREF=\"a.html\"", ""},
        {"href=a.html", ""},
        {"href=a.html title=\"t\"", ""},
        {"href=\"  a.html\t\n\"", "a.html"},
        {"href=\"a.html\r\"", "a.html\r"},
        {"href=\"it's.html\"", "it's.html"},
        {"title='say \"hi\"' href=\"b.html\"", "b.html"},
        {"", ""},
        {"target=\"_blank\"", ""},
    };
    for (const HrefCase& c : cases) {
        std::string strHref;
        ExtractHref(c.pAttributes, strHref);
        EXPECT_EQ(strHref, c.pExpected) << "attributes: " << c.pAttributes;
    }
}

TEST(ExtractHref, LeavesTheValueUnchangedWithoutHref)
{
    std::string strHref = "kept";
    ExtractHref("title=\"x\"", strHref);
    EXPECT_EQ(strHref, "kept");
}

TEST(AnchorPass, FindsAnchorsInPageOrderWithDuplicates)
{
    const std::string page = "<p><a href=\"one.html\">1</a> <A HREF=\"/caps.html\">caps</A>"
                             "<a class=\"nav\" href='two.html'>2</a>\n"
                             "<a\nhref=\"three.html\"\n>3</a><a href=\"one.html\">again</a>"
                             "<a name=\"anchor\">no href</a><a href=\"#top\">top</a><a href=\"x.png\">img</a></p>";
    const std::vector<std::string> expected = {
        "http://host/dir/one.html",   "http://host/dir/",         "http://host/dir/two.html",
        "http://host/dir/three.html", "http://host/dir/one.html", "http://host/dir/",
    };
    EXPECT_EQ(Links(page), expected);
}

TEST(AnchorPass, HrefTrimmingKeepsCarriageReturn)
{
    EXPECT_EQ(Links("<a href=\" \tpage.html\n \">x</a>"), std::vector<std::string>{"http://host/dir/page.html"});
    EXPECT_EQ(Links("<a href=\"page.html\r\">x</a>"), std::vector<std::string>{"http://host/dir/page.html\r"});
}

TEST(AnchorPass, ReportsPagesWithoutAnchors)
{
    std::vector<std::string> links;
    EXPECT_EQ(RunAnchorPass("<p>no links here</p>", kDirPage, links), AnchorPassResult::NoAnchors);
    EXPECT_TRUE(links.empty());
    EXPECT_EQ(RunAnchorPass("", kDirPage, links), AnchorPassResult::NoAnchors);
    EXPECT_EQ(RunAnchorPass("<a href=\"x.html\">never closed", kDirPage, links), AnchorPassResult::NoAnchors);
    EXPECT_TRUE(links.empty());
}

TEST(AnchorPass, ANewPageStartsWithEmptyWorkingLists)
{
    std::vector<std::string> links;
    RunAnchorPass("<a href=\"a.html\">a</a>", kDirPage, links);
    links.clear();
    RunAnchorPass("<a href=\"b.html\">b</a>", kDirPage, links);
    EXPECT_EQ(links, std::vector<std::string>{"http://host/dir/b.html"});
}

TEST(AnchorPass, SegmentsGiveTheSameLinksAsOnePass)
{
    // Random pages from pieces that stress where a match may end: openings without
    // their own '>', closings with runs of s, quotes and line breaks.
    const char* const pieces[] = {"<a href=\"x\">", "<A HREF='y'>", "</a>", "</A>", "<s/a>", "</as>",
                                  "<ss/ass>",       "</ a>",        ">",    "<a",   "<sa ",  "href=\"z\"",
                                  "text ",          "\n",           "<b>",  "'",    "\"",    "<a href='q'>t",
                                  "<sA>",           "</sa>"};
    std::uint32_t seed = 42;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int nPage = 0; nPage < 3000; ++nPage) {
        std::string page;
        const int nPieces = static_cast<int>(next() % 40);
        for (int i = 0; i < nPieces; ++i)
            page += pieces[next() % (sizeof pieces / sizeof *pieces)];
        std::vector<std::string> whole, cut;
        const auto rWhole = plovik::RunAnchorPassInSegments(page, kDirPage, whole, std::string::npos);
        const auto rCut = plovik::RunAnchorPassInSegments(page, kDirPage, cut, 1);
        ASSERT_EQ(rWhole, rCut) << page;
        ASSERT_EQ(whole, cut) << page;
    }
}

TEST(AnchorPass, SegmentEndsOnlyAfterSafeClosingTags)
{
    const std::string page = "<a href=\"1\">1</a><a </a>x</a><b>y</A>";
    // After the first "</a>"; not after the "</a>" that ends the opening "<a </a>";
    // then after "x</a>" and at the end.
    EXPECT_EQ(plovik::AnchorSegmentEnds(page, page.size(), 1), (std::vector<std::size_t>{17, 29, page.size()}));
}

// ----------------------------------------------------------------- hostile pages

TEST(HostilePages, BinaryBodyGivesAResultAndNoCrash)
{
    std::string page;
    for (int i = 0; i < 200000; ++i)
        page += static_cast<char>((i * 7919) & 0xFF);
    page += "<a href=\"tail.html\">x</a>";
    const std::vector<std::string> links = Links(page);
    ASSERT_FALSE(links.empty());
    EXPECT_EQ(links.back(), "http://host/dir/tail.html");
}

TEST(HostilePages, FiftyThousandAnchorsAreAllFound)
{
    std::string page;
    for (int i = 0; i < 50000; ++i)
        page += "<a href=\"p" + std::to_string(i) + "\">.</a>";
    const std::vector<std::string> links = Links(page);
    ASSERT_EQ(links.size(), 50000u);
    EXPECT_EQ(links.front(), "http://host/dir/p0");
    EXPECT_EQ(links.back(), "http://host/dir/p49999");
}

TEST(HostilePages, APageBeyondTheAnchorLimitGivesNoLinks)
{
    std::string page;
    for (std::size_t i = 0; i <= plovik::kMaxAnchorsPerPage; ++i)
        page += "<a>.</a>";
    std::vector<std::string> links;
    EXPECT_EQ(RunAnchorPass(page, kDirPage, links), AnchorPassResult::GaveUp);
    EXPECT_TRUE(links.empty());
}

TEST(HostilePages, UnclosedAnchorsGiveNoLinks)
{
    const std::string closed = "<a href=\"first.html\">closed</A>";
    std::string page = closed;
    for (int i = 0; i < 100000; ++i)
        page += "<a href=\"x\">";
    std::vector<std::string> links;
    EXPECT_EQ(RunAnchorPass(page, kDirPage, links), AnchorPassResult::Links);
    EXPECT_EQ(links, std::vector<std::string>{"http://host/dir/first.html"});
    links.clear();
    EXPECT_NE(RunAnchorPass(page.substr(closed.size()), kDirPage, links), AnchorPassResult::Links);
    EXPECT_TRUE(links.empty());
}

TEST(HostilePages, EngineLimitsEndOnlyThisPagesExtraction)
{
    // Openings that never reach a '>' of their own make the engine's search quadratic
    // until its complexity limit stops it.
    std::string page;
    for (int i = 0; i < 200000; ++i)
        page += "<a";
    page += "</a>";
    std::vector<std::string> links;
    EXPECT_EQ(RunAnchorPass(page, kDirPage, links), AnchorPassResult::GaveUp);
    EXPECT_TRUE(links.empty());
    // The next page is extracted as usual.
    EXPECT_EQ(Links("<a href=\"next.html\">n</a>"), std::vector<std::string>{"http://host/dir/next.html"});
}

TEST(HostilePages, HugePageWithFewAnchors)
{
    std::string page(20u * 1024u * 1024u, 'x');
    page.replace(10, 22, "<a href=\"a.html\">a</a>");
    page.replace(page.size() - 30, 22, "<a href=\"z.html\">z</a>");
    const std::vector<std::string> expected = {"http://host/dir/a.html", "http://host/dir/z.html"};
    EXPECT_EQ(Links(page), expected);
}

TEST(HostilePages, UnquotedAttributesAndLineBreaks)
{
    const std::string page = "<a href=a.html>1</a><a\r\nhref=\"b.html\"\r\n>2</a><a href=\"c\r\n.html\">3</a>";
    // A carriage return is not trimmed, so "\r\nhref" is not the name href.
    const std::vector<std::string> expected = {"http://host/dir/", "http://host/dir/", "http://host/dir/c\r\n.html"};
    EXPECT_EQ(Links(page), expected);
}

}  // namespace
