#include "HttpClient.h"

#include "CurlUrl.h"
#include "RequestAddress.h"
#include "TextFormat.h"

#include <cstdlib>

// Web addresses taken apart by libcurl's URL API, on every platform: both HTTP
// layers accept and refuse the same addresses.

namespace plovik {

bool ParseWebAddress(const std::string& strUrl, HttpAddress& address)
{
    CurlUrlHandle url(curl_url());
    if (!url || strUrl.empty())
        return false;
    // libcurl reads "http:///x" as host "x"; an address without a host is no address.
    const auto nScheme = strUrl.find("://");
    if (nScheme == std::string::npos || strUrl.compare(nScheme + 3, 1, "/") == 0)
        return false;
    // No guessing of a scheme.
    // Blanks and control bytes that a link may carry are part of the address:
    // they are checked in their encoded form and kept as written.
    if (curl_url_set(url.get(), CURLUPART_URL, RequestAddress(strUrl).c_str(),
                     CURLU_NON_SUPPORT_SCHEME | CURLU_PATH_AS_IS) != CURLUE_OK)
        return false;
    std::string strScheme, strHost, strPort;
    if (!GetPart(url.get(), CURLUPART_SCHEME, strScheme) || (strScheme != "http" && strScheme != "https"))
        return false;
    if (!GetPart(url.get(), CURLUPART_HOST, strHost) || strHost.empty() || !IsPrintableAscii(strHost))
        return false;
    HttpAddress parsed;
    parsed.strScheme = strScheme;
    parsed.strHost = strHost;
    parsed.nPort = strScheme == "https" ? 443 : 80;
    if (GetPart(url.get(), CURLUPART_PORT, strPort))
        parsed.nPort = std::strtol(strPort.c_str(), nullptr, 10);
    // The object is everything after the host and port, exactly as written
    // (query and fragment included).
    const std::size_t nAuthority = nScheme + 3;
    const std::size_t nObject = strUrl.find_first_of("/?#", nAuthority);
    parsed.strObject = nObject == std::string::npos ? "/" : strUrl.substr(nObject);
    if (parsed.strObject[0] != '/')
        parsed.strObject.insert(0, "/");
    address = std::move(parsed);
    return true;
}

bool SameSite(const HttpAddress& a, const HttpAddress& b)
{
    const auto sitePort = [](const HttpAddress& x) {
        return x.nPort == (x.strScheme == "https" ? 443 : 80) ? 0 : x.nPort;
    };
    return LowerAscii(a.strHost) == LowerAscii(b.strHost) && sitePort(a) == sitePort(b);
}

bool ParseHttpAddress(const std::string& strUrl, HttpAddress& address)
{
    HttpAddress parsed;
    if (!ParseWebAddress(strUrl, parsed) || parsed.strScheme != "http")
        return false;
    address = std::move(parsed);
    return true;
}

bool MayFollowRedirect(const HttpAddress& site, const std::string& strTarget, long nHops, const HttpOptions& options,
                       HttpResult& result)
{
    HttpAddress target;
    if (!ParseWebAddress(strTarget, target)) {
        result.strError = "redirect to an address that is not http or https: " + strTarget;
        return false;
    }
    if (!SameSite(site, target)) {
        result.strOffSiteTarget = strTarget;
        return false;
    }
    if (nHops >= options.nMaxRedirects) {
        result.strError = "more than " + std::to_string(options.nMaxRedirects) + " redirects";
        return false;
    }
    return true;
}

}  // namespace plovik
