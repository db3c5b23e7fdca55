// The standard link rules reading a page.
//
// Input: the first line is the page's final address, the rest the page.
// Invariants: the links are appended after what the list held; each is an http or
// https address in normal form; no page gives more different links than it has href
// attributes; the same page gives the same links again.

#include "HttpClient.h"
#include "LinkSource.h"

#include "AddressInvariants.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace plovik;

// Attribute names are written out, in any case: every href attribute is one of these.
std::size_t CountHrefSpellings(const std::string& s)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i + 4 <= s.size(); ++i)
        if ((s[i] | 0x20) == 'h' && (s[i + 1] | 0x20) == 'r' && (s[i + 2] | 0x20) == 'e' && (s[i + 3] | 0x20) == 'f')
            ++n;
    return n;
}

std::vector<std::string> LinksOf(const std::string& strText, const std::string& strFinalUrl)
{
    HttpAddress address;
    ParseWebAddress(strFinalUrl, address);
    const FetchedPage page{strText, address, strFinalUrl};
    const std::string kEarlier = "http://earlier.example/";
    std::vector<std::string> links{kEarlier};
    MakeLinkSource(LinkRules::Standard)->AddLinks(page, links);
    FUZZ_CHECK(!links.empty() && links.front() == kEarlier);
    links.erase(links.begin());
    return links;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fuzz_support::FirstLineAndRest input = fuzz_support::SplitFirstLine(data, size);
    const std::vector<std::string> links = LinksOf(input.strRest, input.strFirst);
    // The parser may clone an open <a> into the blocks after it, as HTML wants: clones
    // repeat a link but add none.
    const std::set<std::string> distinct(links.begin(), links.end());
    FUZZ_CHECK(distinct.size() <= CountHrefSpellings(input.strRest));
    for (const std::string& strLink : links) {
        WebAddress address;
        FUZZ_CHECK(NormaliseAddress(strLink, address));
        FUZZ_CHECK(address.strUrl == strLink);
        fuzz_support::CheckNormalForm(address);
    }
    FUZZ_CHECK(LinksOf(input.strRest, input.strFirst) == links);
    return 0;
}
