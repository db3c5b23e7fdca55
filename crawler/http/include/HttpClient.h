#pragma once
// The crawl's HTTP layer: address parsing (WebAddress.cpp, libcurl's URL API on every
// platform) and one GET per page, in two implementations behind this one interface:
// libcurl (CurlHttpClient.cpp) and WinINet (WinInetHttpClient.cpp).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace plovik {

// A web address taken apart.
struct HttpAddress {
    std::string strScheme;  // "http" or "https", in lower case
    std::string strHost;    // host name alone: no scheme, no port, no user
    long nPort = 80;        // the port the address names, or 80
    std::string strObject;  // path beginning with "/", plus "?query" when there is one
};

// False for anything that is not an absolute http address with a host. A host must be
// printable ASCII: international names count only in their punycode spelling
// ("xn--..."), on every platform.
bool ParseHttpAddress(const std::string& strUrl, HttpAddress& address);
// The same for http and https addresses (the port defaults to the scheme's).
bool ParseWebAddress(const std::string& strUrl, HttpAddress& address);
// One site: the same host (ignoring letter case) and port, where http on 80 and
// https on 443 are one.
bool SameSite(const HttpAddress& a, const HttpAddress& b);

struct HttpOptions {
    // A server that accepts no connection within this time fails with -1.
    long nConnectTimeoutMs = 15000;
    // A transfer that moves no byte for this long is dropped (a server that accepts
    // and never answers, or stalls mid-body). libcurl averages the speed over its
    // last five seconds, so a stall right after a burst counts from a little later.
    long nStallTimeoutSec = 30;
    // Hard ceiling on one page, redirects included (a server that trickles forever).
    long nTotalTimeoutSec = 300;
    // Bodies larger than this are a read failure (a server that streams without end).
    std::size_t nMaxBodyBytes = 32u * 1024u * 1024u;
    // The body as sent, zero bytes included, rather than in the classic 1024-byte
    // pieces that a zero byte ends (BodyPieces).
    bool bWholeBody = false;
    long nMaxRedirects = 10;
    // A body over the cap is cut there and counts as read, instead of failing.
    bool bCutBodyAtCap = false;
    // Hosts that bypass the environment's proxy ("*" for all); empty keeps the
    // environment's own no_proxy.
    std::string strNoProxy;
};

struct HttpResult {
    std::int32_t nStatus = -1;     // the final response's status; -1 when none was received
    bool bBodyRead = false;        // true when the body of a 200 was read to its end
    std::string strText;           // that body, in 1024-byte pieces each ended by a zero byte, or whole
    std::string strFinalUrl;       // the address of the last request, after any redirects
    std::string strError;          // why no status was received, the body was not read, or
                                   // a redirect could not be followed
    std::string strOffSiteTarget;  // a redirect to another site, not followed: where it
                                   // pointed (the status is the redirect's own)
};

// Whether both layers fetch strTarget, the target of a redirect met after nHops hops
// from site: an http or https address on the same site within the allowed hops. When
// not, result says why (an error, or the other site's address) and keeps its status.
bool MayFollowRedirect(const HttpAddress& site, const std::string& strTarget, long nHops, const HttpOptions& options,
                       HttpResult& result);

// GET with "Accept: text/*" and "User-Agent: Plovik"; redirects followed over http and
// https and within the site of strUrl only. A user name or password in an address is
// never sent. pStop, when set, interrupts the transfer (status kept if received).
// https certificates are verified; CURL_CA_BUNDLE, when set, names the trusted ones.
HttpResult HttpGet(const std::string& strUrl, const HttpOptions& options, const std::atomic<bool>* pStop);

// The layer's process-wide set-up; call before starting threads (later calls do nothing).
void HttpGlobalInit();

}  // namespace plovik
