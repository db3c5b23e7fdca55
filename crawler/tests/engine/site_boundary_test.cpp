// A hostile site that tries to lead the crawl elsewhere: redirects to another host or
// port, a user name that makes a link's text start with the site's own address, and
// a redirect loop. Under both link rules nothing reaches the other server.

#include <gtest/gtest.h>

#include "LoopbackServer.h"

using namespace plovik;
using namespace plovik_test;

namespace {

// A record's status; -2 when the crawl has no record of the address.
std::int32_t StatusOf(const CSiteCrawler& crawler, const std::string& strUrl)
{
    const PageRecord* p = Find(crawler, strUrl);
    return p ? p->nStatus : -2;
}

class SiteBoundary : public ::testing::TestWithParam<LinkRules> {
protected:
    SiteBoundary()
    {
        LoopbackServer gone;
        m_strClosed = gone.Url("/closed");
    }

    std::unique_ptr<CSiteCrawler> Crawl(RecordingNotifier& notifier)
    {
        auto crawler = std::make_unique<CSiteCrawler>(&notifier, 1, 20);
        PrepareForTest(*crawler);
        crawler->SetLinkRules(GetParam());
        crawler->Crawl(m_site.Url("/"));
        return crawler;
    }
    std::string Site() const { return std::to_string(m_site.Port()); }
    std::string Other() const { return std::to_string(m_other.Port()); }

    LoopbackServer m_site;
    LoopbackServer m_other;  // must see no request
    std::string m_strClosed;
};

TEST_P(SiteBoundary, RedirectsElsewhereAreLinksNotFetches)
{
    m_site.Page("/",
                Html("<a href=\"/hop\">1</a><a href=\"/hop-closed\">2</a><a href=\"/fine.html\">3</a>"
                     "<a href=\"/loop\">4</a>"));
    m_site.Redirect("/hop", m_other.Url("/x"), 302);
    m_site.Redirect("/hop-closed", m_strClosed, 307);
    m_site.Redirect("/loop", "/loop", 302);
    m_site.Page("/fine.html", Html("fine"));
    m_other.Page("/x", Html("<a href=\"/deeper\">d</a>"));
    RecordingNotifier notifier;
    auto crawler = Crawl(notifier);

    EXPECT_EQ(m_other.RequestCount(), 0);
    const PageRecord* pHop = Find(*crawler, m_site.Url("/hop"));
    ASSERT_NE(pHop, nullptr);
    EXPECT_EQ(pHop->nStatus, 302);
    EXPECT_EQ(pHop->nOutLinks, 1);
    const PageRecord* pTarget = Find(*crawler, m_other.Url("/x"));
    ASSERT_NE(pTarget, nullptr);
    EXPECT_EQ(pTarget->nStatus, 0);
    ASSERT_EQ(pTarget->inLinks.size(), 1u);
    EXPECT_EQ(pTarget->inLinks[0], pHop);
    const PageRecord* pClosed = Find(*crawler, m_strClosed);
    ASSERT_NE(pClosed, nullptr);
    EXPECT_EQ(pClosed->nStatus, 0);
    EXPECT_EQ(StatusOf(*crawler, m_site.Url("/hop-closed")), 307);
    EXPECT_EQ(StatusOf(*crawler, m_site.Url("/fine.html")), 200);
    EXPECT_EQ(StatusOf(*crawler, m_site.Url("/loop")), 302);

    // The verbose output says where each redirect pointed, and why the loop failed.
    const std::vector<std::string> notes = {
        m_site.Url("/hop") + " redirects to " + m_other.Url("/x") + ", another site: not followed",
        m_site.Url("/hop-closed") + " redirects to " + m_strClosed + ", another site: not followed"};
    EXPECT_EQ(notifier.notes, notes);
    EXPECT_EQ(notifier.failures, std::vector<std::string>{m_site.Url("/loop") + " more than 10 redirects"});
}

TEST_P(SiteBoundary, UserNamesAndOtherPortsAreOtherSites)
{
    const std::string strTrick = "http://127.0.0.1:" + Site() + "@127.0.0.1:" + Other() + "/at";
    const std::string strClosedTrick = "http://127.0.0.1:" + Site() + "@" + m_strClosed.substr(7);
    const std::string strPort = "http://127.0.0.1:" + Other() + "/direct";
    const std::string strOwn = "http://who:pw@127.0.0.1:" + Site() + "/own.html";
    m_site.Page("/",
                Html("<a href=\"" + strTrick + "\">1</a><a href=\"" + strClosedTrick + "\">2</a><a href=\"" + strPort +
                     "\">3</a><a href=\"" + strOwn + "\">4</a>"));
    m_site.Page("/own.html", Html("own"));
    m_other.Page("/at", Html("at"));
    m_other.Page("/direct", Html("direct"));
    RecordingNotifier notifier;
    auto crawler = Crawl(notifier);

    EXPECT_EQ(m_other.RequestCount(), 0);
    EXPECT_EQ(notifier.failures, std::vector<std::string>{});
    for (const SeenRequest& seen : m_site.Requests())
        EXPECT_EQ(seen.headers.count("Authorization"), 0u) << seen.strPath;
    if (GetParam() == LinkRules::Standard) {
        // One spelling per page: the user name is gone, so the link is the site's own.
        EXPECT_EQ(StatusOf(*crawler, "http://127.0.0.1:" + Other() + "/at"), 0);
        EXPECT_EQ(StatusOf(*crawler, m_site.Url("/own.html")), 200);
    } else {
        // The classic rules keep a link as written and do not follow this one.
        EXPECT_EQ(StatusOf(*crawler, strTrick), 0);
        EXPECT_EQ(StatusOf(*crawler, strOwn), 0);
    }
    EXPECT_EQ(StatusOf(*crawler, strPort), 0);
}

// A stop while the links of a big page are being decided ends the page at once.
TEST_P(SiteBoundary, StopEndsTheLinksOfAPage)
{
    class StopOnFirstLink : public RecordingNotifier {
    public:
        CSiteCrawler* pCrawler = nullptr;
        void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override
        {
            RecordingNotifier::OnCrawlProgress(nCode, pRecord, nNumber);
            if (nCode == CP_PAGE_ADDED && pRecord && pRecord->nDepth == 1)
                pCrawler->RequestStop();
        }
    };
    std::string strLinks;
    for (int i = 0; i < 300; ++i)
        strLinks += "<a href=\"/p" + std::to_string(i) + "\">x</a>";
    m_site.Page("/", Html(strLinks));
    StopOnFirstLink notifier;
    CSiteCrawler crawler(&notifier, 1, 20);
    notifier.pCrawler = &crawler;
    PrepareForTest(crawler);
    crawler.SetLinkRules(GetParam());
    crawler.Crawl(m_site.Url("/"));
    EXPECT_EQ(crawler.Pages().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(BothRules, SiteBoundary, ::testing::Values(LinkRules::Classic, LinkRules::Standard),
                         [](const ::testing::TestParamInfo<LinkRules>& paramInfo) {
                             return paramInfo.param == LinkRules::Classic ? "Classic" : "Standard";
                         });

}  // namespace
