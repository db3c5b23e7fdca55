// The crawl against loopback servers: page table, queueing, message order, ranks.

#include <gtest/gtest.h>

#ifdef _WIN32
// Before windows.h, as the loopback server's Winsock wants.
#include <winsock2.h>
#include <windows.h>
#endif

#include <cstring>
#include <thread>

#include "LoopbackServer.h"

using namespace plovik;
using namespace plovik_test;

namespace {

std::uint32_t Bits(float f)
{
    std::uint32_t n;
    std::memcpy(&n, &f, sizeof n);
    return n;
}

struct Crawled {
    RecordingNotifier notifier;
    std::unique_ptr<CSiteCrawler> crawler;
};

std::unique_ptr<Crawled> RunCrawl(const std::string& strStart, std::int32_t nPages, std::int32_t nIterations)
{
    auto c = std::make_unique<Crawled>();
    c->crawler = std::make_unique<CSiteCrawler>(&c->notifier, nIterations, nPages);
    PrepareForTest(*c->crawler);
    c->crawler->Crawl(strStart);
    return c;
}

TEST(Crawl, SmallSiteSendsTheMessagesInOrder)
{
    LoopbackServer server;
    server.Page("/",
                Html("<a href=\"a.html\">a</a><a href=\"a.html\">again</a>"
                     "<a href=\"/b.html\">b</a><a href=\"http://other.invalid/\">x</a>"));
    server.Page("/a.html", Html("<a href=\"/\">home</a><a href=\"/b.html\">b</a>"));
    const std::string root = server.Url("/"), a = server.Url("/a.html"), b = server.Url("/b.html");
    const std::string other = "http://other.invalid/";

    auto c = RunCrawl(root, 10, 1);
    struct Expected {
        int nCode;
        std::string strUrl;
    };
    const std::vector<Expected> expected = {
        {CP_PAGE_ADDED, root},    {CP_PAGE_ADDED, a},      {CP_INLINKS_CHANGED, a}, {CP_PAGE_ADDED, b},
        {CP_PAGE_ADDED, other},   {CP_PAGE_DONE, root},    {CP_PAGE_FETCHED, a},    {CP_INLINKS_CHANGED, root},
        {CP_INLINKS_CHANGED, b},  {CP_PAGE_DONE, a},       {CP_PAGE_FETCHED, b},    {CP_PAGE_DONE, b},
        {CP_CALC_START, ""},      {CP_RANK_CHANGED, root}, {CP_RANK_CHANGED, a},    {CP_RANK_CHANGED, b},
        {CP_RANK_CHANGED, other}, {CP_ITERATION_DONE, ""}, {CP_CALC_DONE, ""},
    };
    const auto& got = c->notifier.messages;
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(got[i].nCode, expected[i].nCode) << "message " << i;
        EXPECT_EQ(got[i].strUrl, expected[i].strUrl) << "message " << i;
    }
    // Payloads as the receiver saw them during each message.
    EXPECT_EQ(got[0].nStatus, 200);
    EXPECT_EQ(got[0].nOutLinks, 4);
    EXPECT_EQ(got[0].nDepth, 0);
    EXPECT_EQ(got[1].nInLinks, 1u);
    EXPECT_EQ(got[1].nDepth, 1);
    EXPECT_EQ(got[1].nStatus, 0);
    EXPECT_EQ(got[2].nInLinks, 2u);
    EXPECT_EQ(got[6].nOutLinks, 2);
    EXPECT_EQ(got[6].nStatus, 200);
    EXPECT_EQ(got[10].nStatus, 404);
    EXPECT_EQ(got[10].nOutLinks, 0);
    EXPECT_EQ(server.RequestedPaths(), (std::vector<std::string>{"/", "/a.html", "/b.html"}));

    // Ranks of the one iteration, from the previous ranks (all 1.0): root has 4 links,
    // a has 2, b and other none.
    const double d = static_cast<double>(0.85f);
    const float base = static_cast<float>(1.0 - d);
    const float rRoot = static_cast<float>(base + 1.0 / 2 * d);
    float rA = static_cast<float>(base + 1.0 / 4 * d);
    rA = static_cast<float>(rA + 1.0 / 4 * d);
    float rB = static_cast<float>(base + 1.0 / 4 * d);
    rB = static_cast<float>(rB + 1.0 / 2 * d);
    EXPECT_EQ(got[13].fNewRank, rRoot);
    EXPECT_EQ(got[14].fNewRank, rA);
    EXPECT_EQ(got[15].fNewRank, rB);
    EXPECT_EQ(got[16].fNewRank, static_cast<float>(base + 1.0 / 4 * d));
    float total = rRoot;
    total = static_cast<float>(total + static_cast<double>(rA));
    total = static_cast<float>(total + static_cast<double>(rB));
    EXPECT_EQ(got[18].nNumber, static_cast<std::int32_t>(static_cast<double>(total) * 1000.0));
}

TEST(Crawl, StartPageNotFoundGivesOneRow)
{
    LoopbackServer server;
    auto c = RunCrawl(server.Url("/missing/"), 10, 3);
    ASSERT_EQ(c->crawler->Pages().size(), 1u);
    const PageRecord* p = Find(*c->crawler, server.Url("/missing/"));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->nStatus, 404);
    EXPECT_EQ(p->nOutLinks, 0);
    EXPECT_EQ(p->nDepth, 0);
    EXPECT_TRUE(p->bVisited);
}

TEST(Crawl, FailedFetchesGiveMinusOne)
{
    // A port that nobody listens on: take one from a server and close it.
    std::string strClosed;
    {
        LoopbackServer gone;
        strClosed = gone.Url("/");
    }
    const std::string cases[] = {strClosed, "http://nonexistent.invalid/", "ftp://127.0.0.1/", "not an address"};
    for (const std::string& strStart : cases) {
        auto c = RunCrawl(strStart, 10, 1);
        const PageRecord* p = Find(*c->crawler, strStart);
        ASSERT_NE(p, nullptr) << strStart;
        EXPECT_EQ(p->nStatus, -1) << strStart;
        EXPECT_TRUE(p->bVisited) << strStart;
        EXPECT_EQ(c->crawler->Pages().size(), 1u) << strStart;
    }
}

TEST(Crawl, PageLimitOfOneFetchesOnlyTheStartPage)
{
    for (std::int32_t nLimit : {1, 0, -5}) {
        LoopbackServer server;
        server.Page("/", Html("<a href=\"a.html\">a</a><a href=\"b/\">b</a>"));
        server.Page("/a.html", Html("x"));
        auto c = RunCrawl(server.Url("/"), nLimit, 1);
        EXPECT_EQ(server.RequestedPaths(), std::vector<std::string>{"/"}) << "limit " << nLimit;
        const PageRecord* a = Find(*c->crawler, server.Url("/a.html"));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->nDepth, 1);
        EXPECT_EQ(a->nStatus, 0);
        EXPECT_FALSE(a->bVisited);
    }
}

TEST(Crawl, DuplicateLinksCountTwice)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"a.html\">1</a> <a href=\"a.html\">2</a>"));
    auto c = RunCrawl(server.Url("/"), 1, 0);
    EXPECT_EQ(Find(*c->crawler, server.Url("/"))->nOutLinks, 2);
    EXPECT_EQ(Find(*c->crawler, server.Url("/a.html"))->inLinks.size(), 2u);
}

TEST(Crawl, SlashVariantReachesTheKnownPage)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"/a/\">a</a><a href=\"/A/\">case</a>"));
    server.Page("/a/", Html("<a href=\"/a\">no slash</a><a href=\"/\">home</a><a href=\"/a/\">self</a>"));
    auto c = RunCrawl(server.Url("/"), 10, 0);
    EXPECT_EQ(Find(*c->crawler, server.Url("/a")), nullptr);
    const PageRecord* a = Find(*c->crawler, server.Url("/a/"));
    ASSERT_NE(a, nullptr);
    // From the start page, from "/a" (slash variant) and from itself.
    ASSERT_EQ(a->inLinks.size(), 3u);
    EXPECT_EQ(a->inLinks[2], a);
    // Another letter case is another page.
    EXPECT_NE(Find(*c->crawler, server.Url("/A/")), nullptr);
}

TEST(Crawl, QueuesOnlyLinksOfTheSameHost)
{
    LoopbackServer server;
    const std::string strPort = std::to_string(server.Port());
    server.Page("/",
                Html("<a href=\"http://127.0.0.1.evil.invalid/\">1</a>"
                     "<a href=\"http://127.0.0.10:" +
                     strPort +
                     "/\">2</a>"
                     "<a href=\"http://localhost:" +
                     strPort +
                     "/x.html\">3</a>"
                     "<a href=\"http://127.0.0.1:" +
                     strPort +
                     "?q=1\">4</a>"
                     "<a href=\"/same.html#part\">5</a>"));
    server.Page("/same.html", Html("same"));
    auto c = RunCrawl(server.Url("/"), 10, 0);
    EXPECT_EQ(server.RequestedPaths(), (std::vector<std::string>{"/", "/", "/same.html"}));
    for (const char* p : {"http://127.0.0.1.evil.invalid/"})
        EXPECT_EQ(Find(*c->crawler, p)->nStatus, 0);
    EXPECT_EQ(Find(*c->crawler, "http://localhost:" + strPort + "/x.html")->nStatus, 0);
    EXPECT_EQ(Find(*c->crawler, server.Url("/same.html#part"))->nStatus, 200);
}

TEST(Crawl, SiteSmallerThanTheLimitEndsWhenTheQueueIsEmpty)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"a.html\">a</a>"));
    server.Page("/a.html", Html("<a href=\"/\">home</a>"));
    auto c = RunCrawl(server.Url("/"), 100, 1);
    EXPECT_EQ(server.RequestedPaths().size(), 2u);
    EXPECT_EQ(c->notifier.OfCode(CP_PAGE_DONE).size(), 2u);
    EXPECT_EQ(c->notifier.OfCode(CP_CALC_DONE).size(), 1u);
}

TEST(Crawl, SendsTheRequestHeaders)
{
    LoopbackServer server;
    server.Page("/", Html("hello"));
    RunCrawl(server.Url("/"), 1, 0);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto header = [&](const char* p) {
        const auto it = requests[0].headers.find(p);
        return it == requests[0].headers.end() ? std::string("(none)") : it->second;
    };
    EXPECT_EQ(header("Accept"), "text/*");
    EXPECT_EQ(header("User-Agent"), "Plovik");
}

// ------------------------------------------------------------------------- ranks

TEST(Rank, OnePageWithoutLinks)
{
    LoopbackServer server;
    server.Page("/", Html("no links"));
    auto c = RunCrawl(server.Url("/"), 10, 1);
    const PageRecord* p = Find(*c->crawler, server.Url("/"));
    EXPECT_EQ(Bits(p->fRank), 0x3E199998u);
    EXPECT_EQ(Bits(p->fNewRank), 0x3E199998u);
    EXPECT_EQ(c->notifier.OfCode(CP_CALC_DONE).at(0).nNumber, 149);
}

TEST(Rank, LinkToAnUnfetchedPage)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"b.html\">b</a>"));
    for (std::int32_t nIterations : {1, 2}) {
        auto c = RunCrawl(server.Url("/"), 1, nIterations);
        const PageRecord* a = Find(*c->crawler, server.Url("/"));
        const PageRecord* b = Find(*c->crawler, server.Url("/b.html"));
        EXPECT_EQ(Bits(a->fRank), 0x3E199998u);
        if (nIterations == 1)
            EXPECT_EQ(b->fRank, 1.0f);
        else
            EXPECT_EQ(b->fRank, 0.27749997f);
        EXPECT_EQ(c->notifier.OfCode(CP_CALC_DONE).at(0).nNumber, 149) << nIterations << " iterations";
    }
}

TEST(Rank, TwoPagesLinkingToEachOtherStayAtOne)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"b.html\">b</a>"));
    server.Page("/b.html", Html("<a href=\"/\">a</a>"));
    auto c = RunCrawl(server.Url("/"), 10, 5);
    for (const Message& m : c->notifier.OfCode(CP_RANK_CHANGED))
        EXPECT_EQ(m.fNewRank, 1.0f) << m.strUrl;
    EXPECT_EQ(c->notifier.OfCode(CP_RANK_CHANGED).size(), 10u);
    EXPECT_EQ(c->notifier.OfCode(CP_ITERATION_DONE).size(), 5u);
    EXPECT_EQ(c->notifier.OfCode(CP_CALC_DONE).at(0).nNumber, 2000);
}

TEST(Rank, NoIterationsKeepTheRanks)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"b.html\">b</a>"));
    for (std::int32_t nIterations : {0, -1}) {
        auto c = RunCrawl(server.Url("/"), 1, nIterations);
        const auto& m = c->notifier.messages;
        ASSERT_GE(m.size(), 2u);
        EXPECT_EQ(m[m.size() - 2].nCode, CP_CALC_START);
        EXPECT_EQ(m.back().nCode, CP_CALC_DONE);
        EXPECT_EQ(m.back().nNumber, 0);
        EXPECT_EQ(Find(*c->crawler, server.Url("/b.html"))->fRank, 1.0f);
    }
}

// ------------------------------------------------------------------------- stop

TEST(Stop, InterruptsAStalledFetchAndSendsNothingMore)
{
#ifdef _WIN32
    // Windows' WinINet ends a blocked call when its handle is closed; Wine's does not.
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "Wine's WinINet does not interrupt a blocked call";
#endif
    LoopbackServer server;
    server.Raw().Get("/", [&](const httplib::Request&, httplib::Response& res) {
        server.Stall(std::chrono::seconds(30));
        res.set_content("late", "text/html");
    });
    RecordingNotifier notifier;
    CSiteCrawler crawler(&notifier, 3, 10);
    PrepareForTest(crawler);
    HttpOptions o = TestHttpOptions();
    o.nStallTimeoutSec = 60;
    crawler.SetHttpOptions(o);
    const auto start = std::chrono::steady_clock::now();
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        crawler.RequestStop();
    });
    crawler.Crawl(server.Url("/"));
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(notifier.messages.empty());
}

TEST(Stop, InterruptsThePauseBetweenPages)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"a.html\">a</a>"));
    RecordingNotifier notifier;
    CSiteCrawler crawler(&notifier, 3, 10);
    PrepareForTest(crawler);
    crawler.SetPageDelay(std::chrono::minutes(5));
    const auto start = std::chrono::steady_clock::now();
    std::thread stopper([&] {
        while (notifier.OfCode(CP_PAGE_DONE).empty() &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(20))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        crawler.RequestStop();
    });
    crawler.Crawl(server.Url("/"));
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(server.RequestedPaths(), std::vector<std::string>{"/"});
    EXPECT_TRUE(notifier.OfCode(CP_CALC_START).empty());
}

}  // namespace
