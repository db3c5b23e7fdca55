// What the crawl hands a receiver that keeps the link graph: per processed page the
// record each link reached, the href as the page wrote it, the final address and
// why a fetch failed; and pages given back from an earlier run instead of fetched.

#include <gtest/gtest.h>

#include "LoopbackServer.h"
#include "SiteCrawler.h"

using namespace plovik;
using namespace plovik_test;

namespace {

struct SeenPage {
    std::string strUrl;
    std::string strFinalUrl;
    std::string strFailure;
    std::vector<std::string> targets;
    std::vector<std::string> hrefs;
    bool bRecalled = false;
};

class PageKeeper : public CrawlNotifier {
public:
    void OnCrawlProgress(int, const PageRecord*, std::int32_t) override {}
    bool WantsProcessedPages() const override { return true; }
    void OnPageProcessed(const ProcessedPage& page) override
    {
        SeenPage seen{page.page.strUrl, page.strFinalUrl, page.strFailure, {}, page.hrefs, page.bRecalled};
        for (const PageRecord* p : page.targets)
            seen.targets.push_back(p->strUrl);
        pages.push_back(seen);
    }
    std::vector<SeenPage> pages;
};

TEST(ProcessedPages, EachLinkComesWithItsTargetAndItsHrefAsWritten)
{
    LoopbackServer server;
    server.Page("/dir/", Html("<a href=' page.html\t'>p</a><a href=\"/dir\">slash variant</a>"
                              "<a href=\"#top\">skipped</a><a href=\"/dir/page.html\">again</a>"
                              "<a href=\"/moved\">moved</a>"));
    server.Redirect("/moved", "/dir/", 301);
    const std::string root = server.Root();
    struct Row {
        LinkRules rules;
        std::vector<std::string> targets;
        std::vector<std::string> hrefs;
    };
    const Row rows[] = {
        // The classic rules trim the value and skip "#top"; the standard ones keep the
        // value as HTML reads it and resolve "#top" to the page itself. "/dir" reaches
        // the known "/dir/" through its slash variant.
        {LinkRules::Classic,
         {root + "/dir/page.html", root + "/dir/", root + "/dir/page.html", root + "/moved"},
         {"page.html", "/dir", "/dir/page.html", "/moved"}},
        {LinkRules::Standard,
         {root + "/dir/page.html", root + "/dir/", root + "/dir/", root + "/dir/page.html", root + "/moved"},
         {" page.html\t", "/dir", "#top", "/dir/page.html", "/moved"}},
    };
    for (const Row& row : rows) {
        PageKeeper keeper;
        CSiteCrawler crawler(&keeper, 0, 1);
        PrepareForTest(crawler);
        crawler.SetLinkRules(row.rules);
        crawler.Crawl(server.Url("/dir/"));
        ASSERT_EQ(keeper.pages.size(), 1u);
        const SeenPage& page = keeper.pages[0];
        EXPECT_EQ(page.targets, row.targets) << static_cast<int>(row.rules);
        EXPECT_EQ(page.hrefs, row.hrefs) << static_cast<int>(row.rules);
        EXPECT_EQ(page.strFinalUrl, server.Url("/dir/"));
        EXPECT_EQ(page.strFailure, "");
        EXPECT_FALSE(page.bRecalled);
    }
}

TEST(ProcessedPages, FinalAddressAndFailureReason)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"/moved\">m</a><a href=\"http://127.0.0.1:1/\">closed</a>"));
    server.Page("/target.html", Html(""));
    server.Redirect("/moved", "/target.html", 302);
    PageKeeper keeper;
    CSiteCrawler crawler(&keeper, 0, 3);
    PrepareForTest(crawler);
    crawler.Crawl(server.Url("/"));
    ASSERT_EQ(keeper.pages.size(), 2u);  // the closed port is another site: not fetched
    EXPECT_EQ(keeper.pages[1].strUrl, server.Url("/moved"));
    EXPECT_EQ(keeper.pages[1].strFinalUrl, server.Url("/target.html"));

    PageKeeper failed;
    CSiteCrawler unreachable(&failed, 0, 1);
    PrepareForTest(unreachable);
    unreachable.Crawl("http://127.0.0.1:1/");
    ASSERT_EQ(failed.pages.size(), 1u);
    EXPECT_EQ(failed.pages[0].strFinalUrl, "");
    EXPECT_NE(failed.pages[0].strFailure, "");
    EXPECT_EQ(failed.pages[0].strFailure, unreachable.FailureReason("http://127.0.0.1:1/"));
}

// Gives back the start page as an earlier run saw it; everything else is fetched.
class OneRecordedPage : public RecordedPages {
public:
    explicit OneRecordedPage(std::string strUrl) : m_strUrl(std::move(strUrl)) {}
    bool Recall(const std::string& strUrl, RecordedPage& page) override
    {
        if (strUrl != m_strUrl)
            return false;
        page.nStatus = 200;
        page.strFinalUrl = strUrl;
        page.links = {m_strUrl + "saved.html", "http://127.0.0.1:1/away"};
        page.hrefs = {"saved.html", "http://127.0.0.1:1/away"};
        return true;
    }

private:
    std::string m_strUrl;
};

TEST(ProcessedPages, RecalledPagesAreNotFetchedAndNotPaced)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"/live.html\">never read</a>"));
    server.Page("/saved.html", Html(""));
    OneRecordedPage recorded(server.Url("/"));
    PageKeeper keeper;
    // Two pages: the recalled start page, then saved.html. A pause between them would
    // hold the test for five minutes.
    CSiteCrawler crawler(&keeper, 1, 2);
    crawler.SetHttpOptions(TestHttpOptions());
    crawler.SetPageDelay(std::chrono::minutes(5));
    crawler.SetRecordedPages(&recorded);
    crawler.Crawl(server.Url("/"));
    EXPECT_EQ(server.RequestedPaths(), std::vector<std::string>{"/saved.html"});
    ASSERT_EQ(keeper.pages.size(), 2u);
    EXPECT_TRUE(keeper.pages[0].bRecalled);
    EXPECT_EQ(keeper.pages[0].hrefs, (std::vector<std::string>{"saved.html", "http://127.0.0.1:1/away"}));
    EXPECT_FALSE(keeper.pages[1].bRecalled);
    EXPECT_EQ(Find(crawler, server.Url("/"))->nOutLinks, 2);
    EXPECT_EQ(Find(crawler, server.Url("/saved.html"))->nStatus, 200);
}

}  // namespace
