// The standard rules' addresses: RFC 3986 resolution, the normal form, same site.

#include <gtest/gtest.h>

#include "UrlNormalise.h"

using namespace plovik;

namespace {

struct ResolveCase {
    const char* pBase;
    const char* pRef;
    const char* pExpected;  // nullptr: not a link
};

TEST(LinkResolver, ResolvesByRfc3986IntoTheNormalForm)
{
    const char* const kPage = "http://host/dir/page.html?q=1#top";
    const ResolveCase cases[] = {
        {kPage, "a.html", "http://host/dir/a.html"},
        {kPage, "/x.html", "http://host/x.html"},
        {kPage, "a/../b/./", "http://host/dir/b/"},
        {kPage, "../../../up.html", "http://host/up.html"},
        {kPage, "sub/%2e%2E/x", "http://host/dir/sub/%2e%2E/x"},
        {kPage, "a.html#frag", "http://host/dir/a.html"},
        {kPage, "#only", "http://host/dir/page.html?q=1"},
        {kPage, "", "http://host/dir/page.html?q=1"},
        {kPage, "  \n\tnext.html \r\n", "http://host/dir/next.html"},
        {kPage, "?q=2", "http://host/dir/page.html?q=2"},
        {kPage, "//Other.ORG:8080/a/../B?X=%aa", "http://other.org:8080/B?X=%aa"},
        {kPage, "HTTP://HOST:80", "http://host/"},
        {kPage, "https://Host:443/S", "https://host/S"},
        {kPage, "https://host:80/", "https://host:80/"},
        {kPage, "a b\x01\x7f\xc3\xa9.html", "http://host/dir/a%20b%01%7F%C3%A9.html"},
        {kPage, "A%2fB.HTML?Key=Val", "http://host/dir/A%2fB.HTML?Key=Val"},
        {kPage, "mailto:me@host", nullptr},
        {kPage, "javascript:go()", nullptr},
        {kPage, "ftp://host/file", nullptr},
        {kPage, "data:text/html,x", nullptr},
        {kPage, "http://", nullptr},
        {kPage, "//a%7Fb/x", nullptr},
        {kPage, "//%34/x", "http://0.0.0.4/x"},
        {kPage, "//%31%32%37.1:8080", "http://127.0.0.1:8080/"},
        {kPage, "http://a\x7f" "b/", nullptr},
        {"https://h/dir", "x", "https://h/x"},
        {"https://h/dir/", "x", "https://h/dir/x"},
        {"not an address", "x", nullptr},
    };
    for (const ResolveCase& c : cases) {
        WebAddress address;
        const bool bLink = LinkResolver(c.pBase).Resolve(c.pRef, address);
        ASSERT_EQ(bLink, c.pExpected != nullptr) << c.pBase << " + " << c.pRef;
        if (bLink) {
            EXPECT_EQ(address.strUrl, c.pExpected) << c.pBase << " + " << c.pRef;
        }
    }
}

TEST(NormaliseAddress, TargetIsThePathAndQueryTheAddressWrites)
{
    const struct {
        const char* pUrl;
        const char* pNormal;
        const char* pTarget;
    } cases[] = {
        {"http://Host/c?", "http://host/c", "/c"},
        {"http://host/c?#top", "http://host/c", "/c"},
        {"http://host?q", "http://host/?q", "/?q"},
        {"https://host/a/../b?x=1&y", "https://host/b?x=1&y", "/b?x=1&y"},
    };
    for (const auto& c : cases) {
        WebAddress address;
        ASSERT_TRUE(NormaliseAddress(c.pUrl, address)) << c.pUrl;
        EXPECT_EQ(address.strUrl, c.pNormal) << c.pUrl;
        EXPECT_EQ(address.strTarget, c.pTarget) << c.pUrl;
        WebAddress again;
        ASSERT_TRUE(NormaliseAddress(address.strUrl, again)) << c.pUrl;
        EXPECT_EQ(again.strTarget, address.strTarget) << c.pUrl;
    }
}

TEST(SameSite, IsHostAndPortWithHttpAndHttpsDefaultsAlike)
{
    struct Case {
        const char* pA;
        const char* pB;
        bool bSame;
    };
    const Case cases[] = {
        {"http://host/", "http://HOST/x", true},        {"http://host/", "https://host/", true},
        {"http://host:80/", "https://host:443/", true}, {"http://host:8080/", "https://host:8080/", true},
        {"http://host/", "http://host:8080/", false},   {"http://host/", "https://host:80/", false},
        {"http://host/", "http://www.host/", false},    {"http://host:443/", "https://host/", false},
    };
    for (const Case& c : cases) {
        WebAddress a, b;
        ASSERT_TRUE(NormaliseAddress(c.pA, a) && NormaliseAddress(c.pB, b)) << c.pA << " " << c.pB;
        EXPECT_EQ(SameSite(a, b), c.bSame) << c.pA << " " << c.pB;
    }
}

}  // namespace
