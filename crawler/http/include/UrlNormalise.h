#pragma once
// Addresses as the standard link rules read them: references resolved by RFC 3986
// against a base, and every address written in one normal form, so that two
// spellings of one page make one row.
//
// The normal form: scheme and host in lower case, no user name or password, the
// scheme's default port left out, an empty path written "/", dot segments removed,
// no fragment and no empty query, and bytes at or below 0x20 or at or above 0x7F
// percent-encoded (upper-case hex). Other escapes and the letter case of path and
// query stay as written. A host must be printable ASCII: an international name is
// an address only in its punycode spelling ("xn--...").

#include <memory>
#include <string>

namespace plovik {

// An http or https address in the normal form, with its parts.
struct WebAddress {
    std::string strUrl;     // the whole address
    std::string strScheme;  // "http" or "https"
    std::string strHost;    // lower case
    long nPort = 80;        // the port, the scheme's default when none is written
    std::string strPath;    // beginning with "/"
    std::string strTarget;  // the path followed by "?query" when there is a query
};

// Percent-encodes the bytes at or below 0x20 and at or above 0x7F.
std::string EncodeOddBytes(const std::string& s);

// True for an absolute http or https address; fills its normal form.
bool NormaliseAddress(const std::string& strUrl, WebAddress& address);

// Same site: the same host and port, where http on 80 and https on 443 are one.
bool SameSite(const WebAddress& a, const WebAddress& b);

// References resolved against one base address, which is parsed once.
class LinkResolver {
public:
    // A base that is no http or https address resolves nothing.
    explicit LinkResolver(const std::string& strBase);
    ~LinkResolver();
    LinkResolver(const LinkResolver&) = delete;
    LinkResolver& operator=(const LinkResolver&) = delete;

    bool Valid() const { return m_pBase != nullptr; }

    // The reference (an href value: blanks around it are ignored) resolved and
    // normalised; false when the result is not an http or https address.
    bool Resolve(const std::string& strRef, WebAddress& address) const;

private:
    struct ParsedBase;  // in the URL library's own form
    std::unique_ptr<ParsedBase> m_pBase;
    WebAddress m_base;
};

}  // namespace plovik
