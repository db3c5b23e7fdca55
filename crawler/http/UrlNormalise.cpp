#include "UrlNormalise.h"

#include "CurlUrl.h"
#include "TextFormat.h"

#include <cstdlib>

namespace plovik {

// The base parsed once, copied for each reference.
struct LinkResolver::ParsedBase {
    CurlUrlHandle url;
};

namespace {

bool IsHtmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

std::string TrimHtmlSpace(const std::string& s)
{
    std::size_t nFirst = 0, nEnd = s.size();
    while (nFirst < nEnd && IsHtmlSpace(s[nFirst]))
        ++nFirst;
    while (nEnd > nFirst && IsHtmlSpace(s[nEnd - 1]))
        --nEnd;
    return s.substr(nFirst, nEnd - nFirst);
}

// Reads the normal form out of a parsed handle; changes the handle on the way.
bool ReadAddress(CURLU* pUrl, WebAddress& address)
{
    WebAddress a;
    if (!GetPart(pUrl, CURLUPART_SCHEME, a.strScheme) || (a.strScheme != "http" && a.strScheme != "https"))
        return false;
    // International names count only in their punycode spelling: libcurl can convert
    // them on Linux but not in the Windows build, and both must give one answer.
    std::string strHost;
    if (!GetPart(pUrl, CURLUPART_HOST, strHost) || strHost.empty() || !IsPrintableAscii(strHost))
        return false;
    // libcurl decodes a host's escapes and lets DEL through; no host has one.
    if (strHost.find('\x7F') != std::string::npos)
        return false;
    a.strHost = LowerAscii(strHost);
    if (a.strHost != strHost && curl_url_set(pUrl, CURLUPART_HOST, a.strHost.c_str(), 0) != CURLUE_OK)
        return false;
    curl_url_set(pUrl, CURLUPART_FRAGMENT, nullptr, 0);
    // A user name or password is no part of the page's address (and never sent).
    curl_url_set(pUrl, CURLUPART_USER, nullptr, 0);
    curl_url_set(pUrl, CURLUPART_PASSWORD, nullptr, 0);
    curl_url_set(pUrl, CURLUPART_OPTIONS, nullptr, 0);
    std::string strPort;
    if (!GetPart(pUrl, CURLUPART_PORT, strPort, CURLU_DEFAULT_PORT))
        return false;
    a.nPort = std::strtol(strPort.c_str(), nullptr, 10);
    if (!GetPart(pUrl, CURLUPART_PATH, a.strPath) || a.strPath.empty())
        a.strPath = "/";
    a.strTarget = a.strPath;
    // An empty query is none, as in the address libcurl writes.
    std::string strQuery;
    if (GetPart(pUrl, CURLUPART_QUERY, strQuery) && !strQuery.empty())
        a.strTarget += "?" + strQuery;
    if (!GetPart(pUrl, CURLUPART_URL, a.strUrl, CURLU_NO_DEFAULT_PORT))
        return false;
    // libcurl writes a numeric IPv4 host in dotted form ("4" as "0.0.0.4"), but not one
    // it had to decode first ("%34"): such an address is read once more.
    if (a.strHost[0] >= '0' && a.strHost[0] <= '9') {
        CurlUrlHandle pAgain(curl_url());
        std::string strAgain;
        if (pAgain && curl_url_set(pAgain.get(), CURLUPART_URL, a.strUrl.c_str(), 0) == CURLUE_OK &&
            GetPart(pAgain.get(), CURLUPART_HOST, strAgain) && strAgain != a.strHost)
            return ReadAddress(pAgain.get(), address);
    }
    address = std::move(a);
    return true;
}

// "http:g" on an http page is a relative reference, as browsers read it (RFC 3986
// would read "http:/host/x" as host "host"): the reference without its scheme when
// that is the base's and no "//" follows.
std::string WithoutBaseScheme(const std::string& strRef, const std::string& strBaseScheme)
{
    const std::size_t nColon = strRef.find(':');
    if (nColon == std::string::npos || LowerAscii(strRef.substr(0, nColon)) != strBaseScheme ||
        strRef.compare(nColon + 1, 2, "//") == 0)
        return strRef;
    return strRef.substr(nColon + 1);
}

long DefaultPort(const std::string& strScheme)
{
    return strScheme == "https" ? 443 : 80;
}

}  // namespace

std::string EncodeOddBytes(const std::string& s)
{
    return PercentEncodeBytes(s, true);
}

bool NormaliseAddress(const std::string& strUrl, WebAddress& address)
{
    CurlUrlHandle pUrl(curl_url());
    if (!pUrl)
        return false;
    // libcurl takes "http:///x" for host "x"; an address without a host is none.
    const auto nScheme = strUrl.find("://");
    if (nScheme == std::string::npos || strUrl.compare(nScheme + 3, 1, "/") == 0)
        return false;
    if (curl_url_set(pUrl.get(), CURLUPART_URL, EncodeOddBytes(strUrl).c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK)
        return false;
    return ReadAddress(pUrl.get(), address);
}

bool SameSite(const WebAddress& a, const WebAddress& b)
{
    const long nSitePortA = a.nPort == DefaultPort(a.strScheme) ? 0 : a.nPort;
    const long nSitePortB = b.nPort == DefaultPort(b.strScheme) ? 0 : b.nPort;
    return a.strHost == b.strHost && nSitePortA == nSitePortB;
}

LinkResolver::LinkResolver(const std::string& strBase)
{
    if (!NormaliseAddress(strBase, m_base))
        return;
    CurlUrlHandle pBase(curl_url());
    if (pBase && curl_url_set(pBase.get(), CURLUPART_URL, m_base.strUrl.c_str(), 0) == CURLUE_OK)
        m_pBase = std::make_unique<ParsedBase>(ParsedBase{std::move(pBase)});
}

LinkResolver::~LinkResolver() = default;

bool LinkResolver::Resolve(const std::string& strRef, WebAddress& address) const
{
    if (!m_pBase)
        return false;
    const std::string strEncoded = WithoutBaseScheme(EncodeOddBytes(TrimHtmlSpace(strRef)), m_base.strScheme);
    // An empty reference and a fragment alone name the base itself (libcurl would
    // drop the base's last segment and query).
    if (strEncoded.empty() || strEncoded[0] == '#') {
        address = m_base;
        return true;
    }
    CurlUrlHandle pUrl(curl_url_dup(m_pBase->url.get()));
    if (!pUrl || curl_url_set(pUrl.get(), CURLUPART_URL, strEncoded.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK)
        return false;
    return ReadAddress(pUrl.get(), address);
}

}  // namespace plovik
