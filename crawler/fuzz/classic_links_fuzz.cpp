// The classic link rules reading a page: the anchor pass by pattern.
//
// Input: the first line is the page's address, the rest the page.
// Invariants: the links are appended after what the list held; each begins with
// "http://"; every link needs an anchor's two '>'; the page's cuts into segments
// rise to its end and are no shorter than asked; and the links do not depend on the
// segment size, unless the engine gives up on one of the sizes.

#include "HttpClient.h"
#include "LinkExtraction.h"
#include "LinkSource.h"

#include "AddressInvariants.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace plovik;

void CheckSegmentEnds(const std::string& strText, std::size_t nSegment)
{
    const std::vector<std::size_t> ends = AnchorSegmentEnds(strText, strText.size(), nSegment);
    FUZZ_CHECK(!ends.empty() && ends.back() == strText.size());
    std::size_t nStart = 0;
    for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
        FUZZ_CHECK(ends[i] > nStart && ends[i] - nStart >= nSegment);
        nStart = ends[i];
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fuzz_support::FirstLineAndRest input = fuzz_support::SplitFirstLine(data, size);
    const std::string& strText = input.strRest;
    HttpAddress address;
    ParseHttpAddress(input.strFirst, address);

    const std::string kEarlier = "http://earlier.example/";
    std::vector<std::string> links{kEarlier};
    const FetchedPage page{strText, address, input.strFirst};
    MakeLinkSource(LinkRules::Classic)->AddLinks(page, links);
    FUZZ_CHECK(!links.empty() && links.front() == kEarlier);
    links.erase(links.begin());

    for (const std::string& strLink : links)
        FUZZ_CHECK(fuzz_support::StartsWith(strLink, "http://"));
    FUZZ_CHECK(links.size() <= static_cast<std::size_t>(std::count(strText.begin(), strText.end(), '>')) / 2);

    const LinkBase base{address.strHost, address.strObject, address.nPort};
    std::vector<std::string> standardSize;
    const AnchorPassResult result = RunAnchorPass(strText, base, standardSize);
    if (result != AnchorPassResult::GaveUp)
        FUZZ_CHECK(standardSize == links);
    for (std::size_t nSegment : {std::size_t(1), std::size_t(97), std::numeric_limits<std::size_t>::max()}) {
        CheckSegmentEnds(strText, nSegment);
        std::vector<std::string> other;
        const AnchorPassResult otherResult = RunAnchorPassInSegments(strText, base, other, nSegment);
        if (result == AnchorPassResult::GaveUp || otherResult == AnchorPassResult::GaveUp)
            continue;
        FUZZ_CHECK(otherResult == result);
        FUZZ_CHECK(other == standardSize);
    }
    return 0;
}
