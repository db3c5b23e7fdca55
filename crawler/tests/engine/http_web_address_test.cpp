// What the standard link rules need of the HTTP layer: https addresses, the address
// after redirects, and the reason of a failed fetch.

#include <gtest/gtest.h>

#include <memory>

#include "LoopbackServer.h"

using namespace plovik;
using namespace plovik_test;

namespace {

TEST(ParseWebAddress, TakesHttpAndHttpsApart)
{
    struct Case {
        const char* pUrl;
        bool bOk;
        const char* pScheme;
        long nPort;
    };
    const Case cases[] = {
        {"https://host/", true, "https", 443},
        {"HTTPS://host:8443/x", true, "https", 8443},
        {"http://host/", true, "http", 80},
        {"ftp://host/", false, "", 0},
        {"https:///x", false, "", 0},
    };
    for (const Case& c : cases) {
        HttpAddress a;
        ASSERT_EQ(ParseWebAddress(c.pUrl, a), c.bOk) << c.pUrl;
        if (c.bOk) {
            EXPECT_EQ(a.strScheme, c.pScheme) << c.pUrl;
            EXPECT_EQ(a.nPort, c.nPort) << c.pUrl;
        }
    }
}

TEST(HttpGet, ReportsTheAddressAfterRedirects)
{
    LoopbackServer server;
    server.Redirect("/dir", "/dir/");
    server.Redirect("/old/", "../new/page.html", 302);
    server.Page("/dir/", "d");
    server.Page("/new/page.html", "p");
    struct Case {
        const char* pPath;
        const char* pFinal;
    };
    for (const Case& c : {Case{"/dir", "/dir/"}, Case{"/old/", "/new/page.html"}, Case{"/dir/", "/dir/"}}) {
        const HttpResult r = HttpGet(server.Url(c.pPath), TestHttpOptions(), nullptr);
        EXPECT_EQ(r.nStatus, 200) << c.pPath;
        EXPECT_EQ(r.strFinalUrl, server.Url(c.pFinal)) << c.pPath;
        EXPECT_EQ(r.strError, "") << c.pPath;
    }
}

TEST(HttpGet, KeepsTheReasonOfAFailedFetch)
{
    auto pServer = std::make_unique<LoopbackServer>();
    const std::string strClosed = pServer->Url("/");
    pServer.reset();
    const HttpResult r = HttpGet(strClosed, TestHttpOptions(), nullptr);
    EXPECT_EQ(r.nStatus, -1);
    EXPECT_FALSE(r.strError.empty());
}

}  // namespace
