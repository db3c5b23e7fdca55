// The hrefs read from the tokenizer's token stream: where its driver must do the
// tree builder's part (text elements, foreign content) and what the stream gives
// that a tree would not.

#include <gtest/gtest.h>

#include "ForeignContent.h"
#include "MarkupText.h"
#include "PageHrefs.h"

using namespace plovik;

namespace {

using Hrefs = std::vector<std::string>;

struct HrefCase {
    const char* pName;
    std::string strHtml;
    Hrefs hrefs;
};

void ExpectHrefs(const HrefCase* pBegin, const HrefCase* pEnd)
{
    for (const HrefCase* p = pBegin; p != pEnd; ++p)
        EXPECT_EQ(ReadPageHrefs(p->strHtml).hrefs, p->hrefs) << p->pName;
}

TEST(PageHrefs, ElementsOfTextHoldNoAnchors)
{
    const HrefCase cases[] = {
        {"script", "<script>document.write('<a href=\"s\">')</script><a href=\"k\">", {"k"}},
        {"script closing itself", "<script/><a href=\"s\"></script><a href=\"k\">", {"k"}},
        {"escaped script", "<script><!--<script><a href=\"s\"></script>--></script><a href=\"k\">", {"k"}},
        {"title and textarea keep entities, not tags",
         "<title><a href=\"t\"></title><TEXTAREA><a href=\"x\"></textarea><a href=\"k\">",
         {"k"}},
        {"raw text elements",
         "<xmp><a href=\"1\"></xmp><iframe><a href=\"2\"></iframe><noembed><a href=\"3\"></noembed>"
         "<noframes><a href=\"4\"></noframes><style><a href=\"5\"></style><a href=\"k\">",
         {"k"}},
        {"an end tag of another element does not end the text",
         "<style></script><a href=\"s\"></style><a href=\"k\">",
         {"k"}},
        {"plaintext runs to the end", "<a href=\"k\"><plaintext></plaintext><a href=\"p\">", {"k"}},
        {"noscript is markup", "<noscript><a href=\"n\"></noscript>", {"n"}},
        {"comments and bogus comments", "<!-- <a href=\"c\"> --><? <a href=\"p\"><a href=\"k\">", {"k"}},
    };
    ExpectHrefs(std::begin(cases), std::end(cases));
}

TEST(PageHrefs, ForeignContentAnchorsAreNotHtmlAnchors)
{
    const HrefCase cases[] = {
        {"svg anchor", "<svg><a href=\"s\"/><a href=\"t\"></a></svg><a href=\"k\">", {"k"}},
        {"math anchor", "<math><a href=\"m\"></a></math><a href=\"k\">", {"k"}},
        {"a self-closed svg opens nothing", "<svg/><a href=\"k\">", {"k"}},
        {"html inside foreignObject",
         "<svg><foreignObject><a href=\"f\"></a></foreignObject><a href=\"s\"></svg>",
         {"f"}},
        {"html inside a math text point", "<math><mi><a href=\"i\"></a></mi><a href=\"m\"></math>", {"i"}},
        {"annotation-xml holds html only when it says so",
         "<math><annotation-xml encoding=\"Text/HTML\"><a href=\"h\"></annotation-xml>"
         "<annotation-xml><a href=\"x\"></annotation-xml></math>",
         {"h"}},
        {"an html tag breaks out", "<svg><g><p><a href=\"p\">", {"p"}},
        {"font with a colour breaks out, plain font does not",
         "<svg><font><a href=\"f\"></a></font><font color=red><a href=\"c\">",
         {"c"}},
        {"a closing html parent ends it", "<div><svg><g></div><a href=\"d\">", {"d"}},
        {"style in svg is markup, not text", "<svg><style></style></svg><a href=\"k\">", {"k"}},
        {"title in svg holds html", "<svg><title><a href=\"t\"></a></title></svg>", {"t"}},
        {"cdata in foreign content is text", "<svg><![CDATA[<a href=\"c\">]]></svg><a href=\"k\">", {"k"}},
        {"cdata in html is a bogus comment", "<![CDATA[<a href=\"c\">]]><a href=\"k\">", {"k"}},
        {"an end tag's name ends at a blank",
         "<svg><g><svg><g></SVG foo=\"x\"><a href=\"in\"></svg><a href=\"out\">",
         {"out"}},
        {"nested svg closed by name", "<svg><g><svg><g></svg><a href=\"in\"></svg><a href=\"out\">", {"out"}},
    };
    ExpectHrefs(std::begin(cases), std::end(cases));
}

TEST(PageHrefs, TheStreamGivesEveryAnchorTagOnce)
{
    static const char kZeros[] = "<a href=\"a\">x\0y</a><a href=\"b\0c\">";
    const HrefCase cases[] = {
        {"first of duplicate attributes", "<a href=\"one\" HREF=\"two\">", {"one"}},
        {"zero bytes are read on",
         std::string(kZeros, sizeof kZeros - 1),
         {"a",
          "b\xEF\xBF\xBD"
          "c"}},
        {"anchors in tables and templates", "<table><a href=\"t\"><tr><td><template><a href=\"p\">", {"t", "p"}},
        {"anchors after the document's end", "</html><a href=\"late\">", {"late"}},
        {"entities decoded", "<a href=\"?a=1&amp;b=&lt;\">", {"?a=1&b=<"}},
        {"an href without a value", "<a href>", {""}},
    };
    ExpectHrefs(std::begin(cases), std::end(cases));
}

TEST(PageHrefs, FirstBaseWithAnHref)
{
    const PageHrefs none = ReadPageHrefs("<base target=x><a href=\"a\">");
    EXPECT_FALSE(none.bHasBase);
    const PageHrefs page =
        ReadPageHrefs("<svg><base href=\"/svg/\"></svg><base><base href=\"/b/\"><base href=\"/c/\">");
    EXPECT_TRUE(page.bHasBase);
    EXPECT_EQ(page.strBase, "/b/");
}

TEST(PageHrefs, AnchorWithManyAttributes)
{
    // The href after 100,000 others is found, and a duplicate of it is not taken.
    std::string tag = "<a";
    for (int i = 0; i < 100000; ++i)
        tag += " x" + std::to_string(i);
    EXPECT_EQ(ReadPageHrefs(tag + " href=\"late\" x5 href=\"dup\">").hrefs, Hrefs{"late"});
}

// The text between tags is left out before the tokenizer runs: in every state a '>'
// can leave it in, the hrefs stay those of the page.
TEST(PageHrefs, LeavingOutTextKeepsEveryHref)
{
    const HrefCase cases[] = {
        {"a quoted href holding tags", "<a href=\"x>y <b>z</b>\">t</a><a href=\"k\">", {"x>y <b>z</b>", "k"}},
        {"a quoted title holding tags", "<a title='<i>it</i>' href=\"t\">", {"t"}},
        {"quotes in text between tags", "<p>it's \"quoted\"</p><a href=\"k\">", {"k"}},
        {"a comment with a false end", "<!-- a>--<b>x<a href=\"c\"> --><a href=\"k\">", {"k"}},
        {"a comment with a bang end", "<!-- a>x--!><a href=\"k\">", {"k"}},
        {"an escaped script", "<script><!-- x>--<script>y>--<a href=\"s\"></script>z>--</script><a href=\"k\">", {"k"}},
        {"cdata with a false end", "<svg><![CDATA[a>]]<b>]]x>]]></svg><a href=\"k\">", {"k"}},
        {"text in raw text", "<textarea>a>b<c</textarea><a href=\"k\">", {"k"}},
        {"text at the end", "<a href=\"k\">tail>more", {"k"}},
    };
    ExpectHrefs(std::begin(cases), std::end(cases));
}

TEST(MarkupText, RunsBetweenTagsAreLeftOutAtCuts)
{
    const MarkupText markup = LeaveOutText("<p>some text<b>x</b>\n<i a=\"1>2\">it's</i>tail");
    EXPECT_EQ(markup.strText, "<p><b></b><i a=\"1>2\">it's</i>tail");
    EXPECT_EQ(markup.cuts, (std::vector<std::size_t>{3, 6, 10}));
    CutCursor cursor(markup.cuts);
    EXPECT_FALSE(cursor.TagSpansCut(0, 3));
    EXPECT_FALSE(cursor.TagSpansCut(3, 6));
    EXPECT_TRUE(cursor.TagSpansCut(5, 11));
    EXPECT_FALSE(cursor.TagSpansCut(10, 20));
}

TEST(ForeignContent, EndTagsCloseByName)
{
    ForeignContent foreign;
    EXPECT_FALSE(foreign.StartTag("svg", false, false, ""));
    EXPECT_FALSE(foreign.StartTag("g", false, false, ""));
    EXPECT_FALSE(foreign.StartTag("foreignobject", false, false, ""));
    EXPECT_FALSE(foreign.InForeignElement());
    EXPECT_TRUE(foreign.StartTag("div", false, false, ""));
    // An HTML end tag inside the integration point leaves the svg open.
    foreign.EndTag("div");
    EXPECT_TRUE(foreign.Active());
    foreign.EndTag("foreignobject");
    EXPECT_TRUE(foreign.InForeignElement());
    foreign.EndTag("svg");
    EXPECT_FALSE(foreign.Active());
}

TEST(ForeignContent, HtmlStartTagsBreakOut)
{
    for (const char* pTag : {"b", "blockquote", "h1", "listing", "p", "strike", "strong", "table", "var"}) {
        ForeignContent foreign;
        foreign.StartTag("math", false, false, "");
        foreign.StartTag("mrow", false, false, "");
        EXPECT_TRUE(foreign.StartTag(pTag, false, false, "")) << pTag;
        EXPECT_FALSE(foreign.Active()) << pTag;
    }
    for (const char* pTag : {"a", "style", "bdi", "textarea", "sp"}) {
        ForeignContent foreign;
        foreign.StartTag("svg", false, false, "");
        EXPECT_FALSE(foreign.StartTag(pTag, false, false, "")) << pTag;
        EXPECT_TRUE(foreign.InForeignElement()) << pTag;
    }
}

}  // namespace
