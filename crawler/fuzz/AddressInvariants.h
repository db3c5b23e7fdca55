#pragma once
// The normal form's invariants, for every target that sees addresses come out.

#include "HttpClient.h"
#include "TextFormat.h"
#include "UrlNormalise.h"

#include "FuzzSupport.h"

#include <cstddef>
#include <string>

namespace fuzz_support {

inline bool StartsWith(const std::string& s, const std::string& strPrefix)
{
    return s.compare(0, strPrefix.size(), strPrefix) == 0;
}

inline bool SameAddress(const plovik::WebAddress& a, const plovik::WebAddress& b)
{
    return a.strUrl == b.strUrl && a.strScheme == b.strScheme && a.strHost == b.strHost && a.nPort == b.nPort &&
        a.strPath == b.strPath && a.strTarget == b.strTarget;
}

inline std::size_t CountNonAscii(const std::string& s)
{
    std::size_t n = 0;
    for (unsigned char c : plovik::BytesOf(s))
        n += c >= 0x80;
    return n;
}

// An http or https address with a host, a port and a path, no fragment, no blank or
// control byte, non-ASCII bytes in the host alone, a lower-case host; its normal
// form is itself, and the crawl can fetch it.
inline void CheckNormalForm(const plovik::WebAddress& a)
{
    FUZZ_CHECK(a.strScheme == "http" || a.strScheme == "https");
    FUZZ_CHECK(StartsWith(a.strUrl, a.strScheme + "://"));
    FUZZ_CHECK(!a.strHost.empty());
    for (char c : a.strHost)
        FUZZ_CHECK(c < 'A' || c > 'Z');
    // libcurl takes port 0, where a fetch fails as at any closed port.
    FUZZ_CHECK(a.nPort >= 0 && a.nPort <= 65535);
    FUZZ_CHECK(StartsWith(a.strPath, "/") && StartsWith(a.strTarget, a.strPath));
    FUZZ_CHECK(a.strUrl.find('#') == std::string::npos);
    for (unsigned char c : plovik::BytesOf(a.strUrl))
        FUZZ_CHECK(c > 0x20 && c != 0x7F);
    // libcurl decodes a host's escapes and keeps its non-ASCII bytes raw (an
    // international name); everywhere else they are escaped.
    FUZZ_CHECK(CountNonAscii(a.strUrl) == CountNonAscii(a.strHost));
    FUZZ_CHECK(plovik::SameSite(a, a));
    plovik::WebAddress again;
    FUZZ_CHECK(plovik::NormaliseAddress(a.strUrl, again));
    FUZZ_CHECK(SameAddress(again, a));
    // Whatever the standard rules write, the crawl can fetch, at the same place.
    plovik::HttpAddress fetched;
    FUZZ_CHECK(plovik::ParseWebAddress(a.strUrl, fetched));
    FUZZ_CHECK(fetched.strScheme == a.strScheme && fetched.strHost == a.strHost && fetched.nPort == a.nPort);
    FUZZ_CHECK(fetched.strObject == a.strTarget);
}

}  // namespace fuzz_support
