// Crawls of generated loopback sites under the standard link rules: one site per
// rule, robots.txt, https with a self-signed certificate, and the http/https site.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <thread>

#include "LoopbackServer.h"
#include "RobotsRules.h"
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
#include "TlsLoopback.h"
#endif

using namespace plovik;
using namespace plovik_test;

namespace {

struct Crawled {
    RecordingNotifier notifier;
    std::unique_ptr<CSiteCrawler> crawler;

    const PageRecord* Page(const std::string& strUrl) const { return Find(*crawler, strUrl); }
    // The addresses of the rows in the order they were added.
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (const Message& m : notifier.messages)
            if (m.nCode == CP_PAGE_ADDED)
                rows.push_back(m.strUrl);
        return rows;
    }
};

std::unique_ptr<Crawled> RunCrawl(const std::string& strStart, std::int32_t nPages,
                                  LinkRules rules = LinkRules::Standard)
{
    auto c = std::make_unique<Crawled>();
    c->crawler = std::make_unique<CSiteCrawler>(&c->notifier, 1, nPages);
    PrepareForTest(*c->crawler);
    c->crawler->SetLinkRules(rules);
    c->crawler->Crawl(strStart);
    return c;
}

struct SiteCase {
    const char* pName;
    std::string strStartPage;
    std::vector<std::string> rows;  // paths of the rows after the start page, in order
    std::vector<std::size_t> inLinks;
};

// One start page per rule, crawled with a limit of one page.
TEST(StandardCrawl, EachRuleOnItsOwnSite)
{
    const SiteCase cases[] = {
        {"dot segments make one row",
         Html("<a href=\"a/../b/./\">1</a><a href=\"b/\">2</a><a href=\"./b/\">3</a>"),
         {"/b/"},
         {3}},
        {"fragments dropped",
         Html("<a href=\"x.html#one\">1</a><a href=\"x.html#two\">2</a><a href=\"#top\">3</a>"),
         {"/x.html", "/"},
         {2, 1}},
        {"entities decoded",
         Html("<a href=\"q.html?a=1&amp;b=2\">1</a><a href=\"&#47;e.html\">2</a>"),
         {"/q.html?a=1&b=2", "/e.html"},
         {1, 1}},
        {"unquoted and upper-case attributes",
         Html("<A HREF=u.html>1</A><a Href='v.html'>2</a>"),
         {"/u.html", "/v.html"},
         {1, 1}},
        {"area elements", Html("<img usemap=#m><map name=m><area href=\"area.html\"></map>"), {"/area.html"}, {1}},
        {"comments and scripts",
         Html("<!--<a href=\"c.html\">--><script>var s='<a href=\"s.html\">';</script>"
              "<a href=\"k.html\">k</a>"),
         {"/k.html"},
         {1}},
        {"extension filter",
         Html("<a href=\"i.PNG\">1</a><a href=\"d.pdf?x\">2</a><a href=\"ok.html?f=a.pdf\">3</a>"),
         {"/ok.html?f=a.pdf"},
         {1}},
        {"base element",
         "<html><head><base href=\"/base/\"></head><body><a href=\"in.html\">x</a></body></html>",
         {"/base/in.html"},
         {1}},
        {"letter case of path and host",
         Html("<a href=\"/Doc.HTML\">1</a><a href=\"HTTP://127.0.0.1:{port}/doc.html\">2</a>"),
         {"/Doc.HTML", "/doc.html"},
         {1, 1}},
    };
    for (const SiteCase& c : cases) {
        LoopbackServer server;
        std::string strPage = c.strStartPage;
        const auto nPort = strPage.find("{port}");
        if (nPort != std::string::npos)
            strPage.replace(nPort, 6, std::to_string(server.Port()));
        server.Page("/", strPage);
        auto crawled = RunCrawl(server.Url("/"), 1);
        std::vector<std::string> expected{server.Url("/")};
        for (const std::string& p : c.rows)
            if (p != "/")
                expected.push_back(server.Url(p));
        EXPECT_EQ(crawled->Rows(), expected) << c.pName;
        for (std::size_t i = 0; i < c.rows.size() && i < c.inLinks.size(); ++i) {
            const PageRecord* p = crawled->Page(server.Url(c.rows[i]));
            ASSERT_NE(p, nullptr) << c.pName << " " << c.rows[i];
            EXPECT_EQ(p->inLinks.size(), c.inLinks[i]) << c.pName << " " << c.rows[i];
        }
    }
}

// The standard rules read a body whole; the classic ones keep their 1024-byte pieces,
// of which a zero byte ends its own.
TEST(StandardCrawl, AZeroByteIsPageTextNotTheEndOfAPiece)
{
    LoopbackServer server;
    std::string page = "<a href=\"/one.html\">1</a>";
    page += '\0';
    page += "<a href=\"/two.html\">2</a>";
    server.Page("/", page);
    auto standard = RunCrawl(server.Url("/"), 1);
    EXPECT_EQ(standard->Rows(),
              (std::vector<std::string>{server.Url("/"), server.Url("/one.html"), server.Url("/two.html")}));
    auto classic = RunCrawl(server.Url("/"), 1, LinkRules::Classic);
    EXPECT_EQ(classic->Rows(), (std::vector<std::string>{server.Url("/"), server.Url("/one.html")}));
}

// 2.1 MB of self-closed spans, which a tree builder nests 300,000 deep, crawled on a
// thread of its own as the window crawls.
TEST(StandardCrawl, AHostilePageGivesItsLinks)
{
    LoopbackServer server;
    std::string page;
    for (int i = 0; i < 300000; ++i)
        page += "<span/>";
    server.Page("/", page + "<a href=\"/deep.html\">d</a>");
    std::unique_ptr<Crawled> crawled;
    std::thread worker([&] { crawled = RunCrawl(server.Url("/"), 1); });
    worker.join();
    EXPECT_EQ(crawled->Rows(), (std::vector<std::string>{server.Url("/"), server.Url("/deep.html")}));
}

TEST(StandardCrawl, RelativeLinksResolveAgainstTheAddressAfterRedirects)
{
    LoopbackServer server;
    server.Redirect("/dir", "/dir/");
    server.Page("/dir/", Html("<a href=\"a.html\">a</a>"));
    server.Page("/dir/a.html", Html("<a href=\"../dir\">up</a>"));
    auto c = RunCrawl(server.Url("/dir"), 10);
    const PageRecord* pA = c->Page(server.Url("/dir/a.html"));
    ASSERT_NE(pA, nullptr);
    EXPECT_EQ(pA->nStatus, 200);
    // The link back to "/dir" is the start page's row.
    EXPECT_EQ(c->Page(server.Url("/dir"))->inLinks.size(), 1u);
    EXPECT_EQ(c->crawler->Pages().size(), 2u);
}

TEST(StandardCrawl, OnlyTheStartSiteIsQueued)
{
    LoopbackServer server, other;
    server.Page("/",
                Html("<a href=\"" + other.Url("/x.html") + "\">o</a><a href=\"http://LOCALHOST:" +
                     std::to_string(server.Port()) + "/\">alias</a><a href=\"mine.html\">m</a>"));
    server.Page("/mine.html", Html("m"));
    other.Page("/x.html", Html("x"));
    auto c = RunCrawl(server.Url("/"), 10);
    EXPECT_EQ(c->Page(other.Url("/x.html"))->nStatus, 0);
    EXPECT_EQ(c->Page("http://localhost:" + std::to_string(server.Port()) + "/")->nStatus, 0);
    EXPECT_EQ(c->Page(server.Url("/mine.html"))->nStatus, 200);
    EXPECT_TRUE(other.RequestedPaths().empty());
}

const char* const kRobots = "User-agent: *\n"
                            "Disallow: /\n"
                            "\n"
                            "User-agent: Plovik\n"
                            "Disallow: /private/\n"
                            "Allow: /private/open\n"
                            "Disallow: /tie\n"
                            "Allow: /tie\n";

TEST(StandardCrawl, RobotsTxtKeepsDisallowedLinksFromTheQueue)
{
    LoopbackServer server;
    server.Page("/robots.txt", kRobots, 200, "text/plain");
    server.Page("/",
                Html("<a href=\"/private/secret.html\">s</a><a href=\"/private/open.html\">o</a>"
                     "<a href=\"/tie.html\">t</a><a href=\"/public.html\">p</a>"));
    for (const char* p : {"/private/secret.html", "/private/open.html", "/tie.html", "/public.html"})
        server.Page(p, Html("page"));
    auto c = RunCrawl(server.Url("/"), 10);
    EXPECT_EQ(c->Page(server.Url("/private/secret.html"))->nStatus, 0);
    EXPECT_EQ(c->Page(server.Url("/private/secret.html"))->inLinks.size(), 1u);
    EXPECT_EQ(c->Page(server.Url("/private/open.html"))->nStatus, 200);
    EXPECT_EQ(c->Page(server.Url("/tie.html"))->nStatus, 200);
    EXPECT_EQ(c->Page(server.Url("/public.html"))->nStatus, 200);
    // Fetched first, and neither a row nor a processed page.
    EXPECT_EQ(server.RequestedPaths(),
              (std::vector<std::string>{"/robots.txt", "/", "/private/open.html", "/tie.html", "/public.html"}));
    EXPECT_EQ(c->Page(server.Url("/robots.txt")), nullptr);
    EXPECT_EQ(c->Rows().size(), 5u);
}

TEST(StandardCrawl, TheStarGroupAppliesWhenNoGroupNamesPlovik)
{
    LoopbackServer server;
    server.Page("/robots.txt", "User-agent: other\nDisallow: /\n\nUser-agent: *\nDisallow: /no\n", 200, "text/plain");
    server.Page("/", Html("<a href=\"/no.html\">n</a><a href=\"/yes.html\">y</a>"));
    server.Page("/yes.html", Html("y"));
    auto c = RunCrawl(server.Url("/"), 10);
    EXPECT_EQ(c->Page(server.Url("/no.html"))->nStatus, 0);
    EXPECT_EQ(c->Page(server.Url("/yes.html"))->nStatus, 200);
}

TEST(StandardCrawl, MissingRobotsTxtAllowsEverything)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"/a.html\">a</a>"));
    server.Page("/a.html", Html("a"));
    auto c = RunCrawl(server.Url("/"), 10);
    EXPECT_EQ(c->Page(server.Url("/a.html"))->nStatus, 200);
    EXPECT_EQ(server.RequestedPaths(), (std::vector<std::string>{"/robots.txt", "/", "/a.html"}));

    LoopbackServer forbidden;
    forbidden.Page("/robots.txt", "User-agent: *\nDisallow: /\n", 403, "text/plain");
    forbidden.Page("/", Html("<a href=\"/a.html\">a</a>"));
    forbidden.Page("/a.html", Html("a"));
    EXPECT_EQ(RunCrawl(forbidden.Url("/"), 10)->Page(forbidden.Url("/a.html"))->nStatus, 200);
}

// RFC 9309: a robots.txt the site cannot serve means nothing may be crawled; the
// start page is still fetched, and the note says why nothing else is.
TEST(StandardCrawl, UnreachableRobotsTxtAllowsOnlyTheStartPage)
{
    struct Case {
        const char* pName;
        std::function<void(LoopbackServer&)> serveRobots;
        const char* pWhy;
    };
    const Case cases[] = {
        {"server error",
         [](LoopbackServer& s) { s.Page("/robots.txt", "User-agent: *\nAllow: /\n", 503, "text/plain"); },
         "status 503"},
        {"no answer", [](LoopbackServer& s) { s.SlowPage("/robots.txt", "", std::chrono::seconds(10)); }, ""},
    };
    for (const Case& c : cases) {
        LoopbackServer server;
        c.serveRobots(server);
        server.Page("/", Html("<a href=\"/a.html\">a</a>"));
        server.Page("/a.html", Html("a"));
        auto crawled = RunCrawl(server.Url("/"), 10);
        EXPECT_EQ(crawled->Page(server.Url("/"))->nStatus, 200) << c.pName;
        EXPECT_EQ(crawled->Page(server.Url("/a.html"))->nStatus, 0) << c.pName;
        EXPECT_EQ(server.RequestedPaths(), (std::vector<std::string>{"/robots.txt", "/"})) << c.pName;
        ASSERT_EQ(crawled->notifier.notes.size(), 1u) << c.pName;
        const std::string& strNote = crawled->notifier.notes[0];
        EXPECT_EQ(strNote.rfind(server.Url("/robots.txt") + " unreachable", 0), 0u) << strNote;
        EXPECT_NE(strNote.find(c.pWhy), std::string::npos) << strNote;
        EXPECT_EQ(strNote.find("()"), std::string::npos) << strNote;  // a reason is given
    }
}

// Escaped dots are dots to the server: "/x/%2e%2e/private" is "/private".
TEST(StandardCrawl, EscapedDotSegmentsDoNotPassADisallow)
{
    LoopbackServer server;
    server.Page("/robots.txt", "\xEF\xBB\xBFUser-agent: *\nDisallow: /private\n", 200, "text/plain");
    server.Page("/",
                Html("<a href=\"/x/%2e%2e/private/secret.html\">1</a><a href=\"/x/%2E%2E/%70rivate/b\">2</a>"
                     "<a href=\"/ok.html\">3</a>"));
    server.Page("/ok.html", Html("ok"));
    auto c = RunCrawl(server.Url("/"), 10);
    EXPECT_EQ(server.RequestedPaths(), (std::vector<std::string>{"/robots.txt", "/", "/ok.html"}));
    EXPECT_EQ(c->Page(server.Url("/x/%2e%2e/private/secret.html"))->nStatus, 0);
}

// What lies beyond the first 512 KiB of a robots.txt is not read, and the file is no
// failure.
TEST(StandardCrawl, BigRobotsTxtIsReadUpToItsCap)
{
    LoopbackServer server;
    std::string strRobots = "User-agent: *\nDisallow: /early\n";
    strRobots += std::string(kMaxRobotsBytes, '#') + "\nDisallow: /late\n";
    server.Page("/robots.txt", strRobots, 200, "text/plain");
    server.Page("/", Html("<a href=\"/early.html\">e</a><a href=\"/late.html\">l</a>"));
    server.Page("/early.html", Html("e"));
    server.Page("/late.html", Html("l"));
    auto c = RunCrawl(server.Url("/"), 10);
    EXPECT_EQ(c->Page(server.Url("/early.html"))->nStatus, 0);
    EXPECT_EQ(c->Page(server.Url("/late.html"))->nStatus, 200);
    EXPECT_TRUE(c->notifier.notes.empty());
}

TEST(StandardCrawl, ClassicRulesFetchNoRobotsTxt)
{
    LoopbackServer server;
    server.Page("/robots.txt", kRobots, 200, "text/plain");
    server.Page("/", Html("<a href=\"/private/secret.html\">s</a>"));
    server.Page("/private/secret.html", Html("s"));
    auto c = RunCrawl(server.Url("/"), 10, LinkRules::Classic);
    EXPECT_EQ(server.RequestedPaths(), (std::vector<std::string>{"/", "/private/secret.html"}));
}

// https needs a TLS test server, which the Windows build of the test server lacks.
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
// Sets CURL_CA_BUNDLE for the length of a scope.
class TrustedBundle {
public:
    explicit TrustedBundle(const std::string& strFile) { setenv("CURL_CA_BUNDLE", strFile.c_str(), 1); }
    ~TrustedBundle() { unsetenv("CURL_CA_BUNDLE"); }
};

TEST(StandardCrawl, HttpsWithASelfSignedCertificateFailsUnlessTrusted)
{
    SelfSignedCertificate cert;
    ASSERT_TRUE(cert.Ok());
    HttpsServer server(0, cert.CertFile().c_str(), cert.KeyFile().c_str());
    ASSERT_TRUE(server.Running());
    const std::string strRoot = "https://127.0.0.1:" + std::to_string(server.Port());
    server.Page("/", Html("<a href=\"a.html\">a</a>"));
    server.Page("/a.html", Html("a"));

    auto refused = RunCrawl(strRoot + "/", 10);
    ASSERT_EQ(refused->crawler->Pages().size(), 1u);
    EXPECT_EQ(refused->Page(strRoot + "/")->nStatus, -1);
    EXPECT_NE(refused->crawler->FailureReason(strRoot + "/").find("certificate"), std::string::npos)
        << refused->crawler->FailureReason(strRoot + "/");

    TrustedBundle trust(cert.CertFile());
    auto accepted = RunCrawl(strRoot + "/", 10);
    EXPECT_EQ(accepted->Page(strRoot + "/")->nStatus, 200);
    EXPECT_EQ(accepted->Page(strRoot + "/a.html")->nStatus, 200);
    EXPECT_EQ(accepted->crawler->FailureReason(strRoot + "/"), "");
}

// http on 80 and https on 443 are one site. Needs both ports of the loopback
// interface; skipped where they cannot be had.
TEST(StandardCrawl, HttpOn80AndHttpsOn443AreOneSite)
{
    SelfSignedCertificate cert;
    ASSERT_TRUE(cert.Ok());
    HttpsServer secure(443, cert.CertFile().c_str(), cert.KeyFile().c_str());
    PlainServer plain(80);
    if (!secure.Running() || !plain.Running())
        GTEST_SKIP() << "ports 80 and 443 of 127.0.0.1 are not available";
    LoopbackServer elsewhere;
    secure.Page(
        "/", Html("<a href=\"http://127.0.0.1/plain.html\">p</a><a href=\"" + elsewhere.Url("/x.html") + "\">x</a>"));
    plain.Page("/plain.html", Html("<a href=\"https://127.0.0.1:443/\">back</a><a href=\"/more.html\">m</a>"));
    plain.Page("/more.html", Html("m"));
    elsewhere.Page("/x.html", Html("x"));
    TrustedBundle trust(cert.CertFile());
    auto c = RunCrawl("https://127.0.0.1/", 10);
    EXPECT_EQ(c->Page("http://127.0.0.1/plain.html")->nStatus, 200);
    EXPECT_EQ(c->Page("http://127.0.0.1/more.html")->nStatus, 200);
    EXPECT_EQ(c->Page("https://127.0.0.1/")->inLinks.size(), 1u);
    EXPECT_EQ(c->Page(elsewhere.Url("/x.html"))->nStatus, 0);
}

#endif
}  // namespace
