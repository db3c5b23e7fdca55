// The headless front end's choice of link rules: --links, and crawls under the
// standard rules (https start addresses, https rows keep their scheme).

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "HeadlessArgs.h"
#include "HeadlessCrawl.h"
#include "LoopbackServer.h"
#include "StartAddress.h"
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
#include "TlsLoopback.h"
#endif

using namespace plovik;
using namespace plovik_test;

namespace {

TEST(HeadlessLinks, OptionChoosesTheRules)
{
    struct Case {
        std::vector<std::string> args;
        HeadlessArgs outcome;
        LinkRules rules;
    };
    const Case cases[] = {
        {{"--crawl", "http://h/"}, HeadlessArgs::Run, LinkRules::Classic},
        {{"--crawl", "http://h/", "--links", "standard"}, HeadlessArgs::Run, LinkRules::Standard},
        {{"--links=standard", "--crawl", "https://h/"}, HeadlessArgs::Run, LinkRules::Standard},
        {{"--crawl", "http://h/", "--links", "Standard"}, HeadlessArgs::UsageError, LinkRules::Classic},
        {{"--crawl", "http://h/", "--links"}, HeadlessArgs::UsageError, LinkRules::Classic},
    };
    for (const Case& c : cases) {
        HeadlessOptions o;
        std::string strError;
        ASSERT_EQ(ParseHeadlessArgs(c.args, o, strError), c.outcome) << c.args.back();
        if (c.outcome == HeadlessArgs::Run) {
            EXPECT_EQ(o.crawl.linkRules, c.rules) << c.args.back();
        }
    }
    EXPECT_FALSE(WantsWindow({"--links", "standard"}));
    EXPECT_NE(HeadlessUsage().find("--links classic|standard"), std::string::npos);
}

TEST(HeadlessLinks, StartAddressesUnderEachRules)
{
    struct Case {
        const char* pTyped;
        LinkRules rules;
        const char* pNormalised;
        StartAddressCheck check;
    };
    const Case cases[] = {
        {"HTTP://Host/Dir", LinkRules::Classic, "http://host/dir/", StartAddressCheck::Accepted},
        {"HTTP://Host:80/Dir/./A.html#x", LinkRules::Standard, "http://host/Dir/A.html", StartAddressCheck::Accepted},
        {"https://Host", LinkRules::Standard, "https://host/", StartAddressCheck::Accepted},
        {"https://host/", LinkRules::Classic, "https://host/", StartAddressCheck::Invalid},
        {"http://host/CorVane/", LinkRules::Standard, "http://host/CorVane/", StartAddressCheck::Refused},
        {"ftp://host/", LinkRules::Standard, "ftp://host/", StartAddressCheck::Invalid},
    };
    for (const Case& c : cases) {
        const std::string s = NormaliseStartAddress(c.pTyped, c.rules);
        EXPECT_EQ(s, c.pNormalised) << c.pTyped;
        EXPECT_EQ(CheckStartAddress(s, c.rules), c.check) << c.pTyped;
    }
}

std::string CrawlCsv(const std::string& strUrl, LinkRules rules, std::string* pErr = nullptr)
{
    HeadlessOptions o;
    o.strUrl = strUrl;
    o.format = OutputFormat::Csv;
    o.crawl.nIterations = 0;
    o.crawl.linkRules = rules;
    o.crawl.pageDelay = std::chrono::milliseconds(0);
    o.crawl.http = TestHttpOptions();
    std::ostringstream out, err;
    EXPECT_EQ(RunHeadlessCrawl(o, out, err, false), 0) << err.str();
    if (pErr)
        *pErr = err.str();
    return out.str();
}

TEST(HeadlessLinks, TheRulesChangeOnlyTheLinks)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"sub/../a.html#x\">a</a><a href=a.html>unquoted</a>"));
    server.Page("/a.html", Html("a"));
    const std::string host = server.Root().substr(7);
#ifdef _WIN32
    // WinINet resolves the dot segments of the object it requests.
    const char* pDottedStatus = "200";
#else
    const char* pDottedStatus = "404";
#endif
    EXPECT_EQ(CrawlCsv(server.Url("/"), LinkRules::Classic),
              "Page,PR,In,Out,Depth,Status\n" + host + "/,-,1,2,0,200\n" + host + "/sub/../a.html#x,-,1,0,1," +
                  pDottedStatus + "\n");
    EXPECT_EQ(CrawlCsv(server.Url("/"), LinkRules::Standard),
              "Page,PR,In,Out,Depth,Status\n" + host + "/,-,0,2,0,200\n" + host + "/a.html,-,2,0,1,200\n");
}

// https needs a TLS test server, which the Windows build of the test server lacks.
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
TEST(HeadlessLinks, HttpsRowsKeepTheirScheme)
{
    SelfSignedCertificate cert;
    ASSERT_TRUE(cert.Ok());
    HttpsServer server(0, cert.CertFile().c_str(), cert.KeyFile().c_str());
    ASSERT_TRUE(server.Running());
    server.Page("/", Html("<a href=\"/a.html\">a</a>"));
    server.Page("/a.html", Html("a"));
    const std::string strRoot = "https://127.0.0.1:" + std::to_string(server.Port());
    setenv("CURL_CA_BUNDLE", cert.CertFile().c_str(), 1);
    std::string strErr;
    const std::string strCsv = CrawlCsv(strRoot, LinkRules::Standard, &strErr);
    unsetenv("CURL_CA_BUNDLE");
    EXPECT_EQ(strCsv,
              "Page,PR,In,Out,Depth,Status\n" + strRoot + "/,-,0,1,0,200\n" + strRoot + "/a.html,-,1,0,1,200\n");
    EXPECT_EQ(strErr.substr(0, 9 + strRoot.size()), "Scanning " + strRoot);
}
#endif

}  // namespace
