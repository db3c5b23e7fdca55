// Addresses: the normal form, references resolved against a base, the address a
// request goes out with, and the start address the Crawl command takes.
//
// Input: the first line is an address (also the base), the rest a reference.
// Invariants: nothing but http and https with a host comes out of any of them; the
// normal form has no fragment, no blank or control byte, a lower-case host, and is
// its own normal form; an absolute reference resolves to its own normal form and
// an empty one to the base; the request form encodes every blank and control byte
// and nothing else; a start address normalised twice is normalised once.

#include "HttpClient.h"
#include "LinkSource.h"
#include "RequestAddress.h"
#include "StartAddress.h"
#include "TextFormat.h"
#include "UrlNormalise.h"

#include "AddressInvariants.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace plovik;
using fuzz_support::CheckNormalForm;
using fuzz_support::SameAddress;
using fuzz_support::StartsWith;

bool IsHtmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

void CheckRequestAddress(const std::string& strUrl)
{
    const std::string strRequest = RequestAddress(strUrl);
    for (unsigned char c : BytesOf(strRequest))
        FUZZ_CHECK(c > 0x20 && c != 0x7F);
    FUZZ_CHECK(RequestAddress(strRequest) == strRequest);
    std::size_t nOdd = 0;
    for (unsigned char c : BytesOf(strUrl))
        nOdd += c <= 0x20 || c == 0x7F;
    // Odd bytes are encoded where they stand; nothing else changes but a user name
    // and password, which are dropped.
    if (strUrl.find('@') == std::string::npos)
        FUZZ_CHECK(strRequest.size() == strUrl.size() + 2 * nOdd);
    else
        FUZZ_CHECK(strRequest.size() <= strUrl.size() + 2 * nOdd);
}

// What the crawl may fetch: http (classic rules) or http and https (standard), with a
// host and an object path.
void CheckFetchable(const std::string& strUrl)
{
    HttpAddress web, http;
    const bool bWeb = ParseWebAddress(strUrl, web);
    const bool bHttp = ParseHttpAddress(strUrl, http);
    FUZZ_CHECK(bHttp == (bWeb && web.strScheme == "http"));
    if (bWeb) {
        FUZZ_CHECK(web.strScheme == "http" || web.strScheme == "https");
        FUZZ_CHECK(!web.strHost.empty() && StartsWith(web.strObject, "/"));
    }
    for (LinkRules rules : {LinkRules::Classic, LinkRules::Standard}) {
        HttpAddress address;
        const bool bParsed = MakeLinkSource(rules)->ParseAddress(strUrl, address);
        FUZZ_CHECK(bParsed == (rules == LinkRules::Classic ? bHttp : bWeb));
    }
}

void CheckTypedStart(const std::string& strTyped)
{
    for (LinkRules rules : {LinkRules::Classic, LinkRules::Standard}) {
        const std::string strStart = NormaliseStartAddress(strTyped, rules);
        FUZZ_CHECK(NormaliseStartAddress(strStart, rules) == strStart);
        const StartAddressCheck check = CheckStartAddress(strStart, rules);
        FUZZ_CHECK(StartAddressMessage(check).empty() == (check == StartAddressCheck::Accepted));
        if (check != StartAddressCheck::Accepted)
            continue;
        HttpAddress address;
        FUZZ_CHECK(MakeLinkSource(rules)->ParseAddress(strStart, address));
        FUZZ_CHECK(address.strScheme == "http" || (rules == LinkRules::Standard && address.strScheme == "https"));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fuzz_support::FirstLineAndRest input = fuzz_support::SplitFirstLine(data, size);
    const std::string& strBase = input.strFirst;
    const std::string& strRef = input.strRest;

    WebAddress base;
    const bool bBase = NormaliseAddress(strBase, base);
    if (bBase)
        CheckNormalForm(base);
    CheckRequestAddress(strBase);
    CheckFetchable(strBase);
    CheckTypedStart(strBase);

    const LinkResolver resolver(strBase);
    FUZZ_CHECK(resolver.Valid() == bBase);
    WebAddress resolved;
    const bool bResolved = resolver.Resolve(strRef, resolved);
    FUZZ_CHECK(!bResolved || bBase);
    if (bResolved)
        CheckNormalForm(resolved);
    if (!bBase)
        return 0;

    WebAddress self;
    FUZZ_CHECK(resolver.Resolve(std::string(), self) && SameAddress(self, base));
    FUZZ_CHECK(resolver.Resolve(base.strUrl, self) && SameAddress(self, base));
    if (strRef.empty())
        return 0;
    // Blanks around a reference are no part of it; around an address they are. A
    // reference in the page's own scheme without "//" is relative, as browsers read it.
    WebAddress absolute;
    const std::size_t nColon = strRef.find(':');
    const bool bNamesHost = nColon != std::string::npos && strRef.compare(nColon + 1, 2, "//") == 0;
    if (bNamesHost && !IsHtmlSpace(strRef.front()) && !IsHtmlSpace(strRef.back()) &&
        NormaliseAddress(strRef, absolute)) {
        FUZZ_CHECK(bResolved);
        FUZZ_CHECK(resolved.strUrl == absolute.strUrl);
    }
    return 0;
}
