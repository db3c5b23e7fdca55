#pragma once
// Link extraction: the anchor pass over a page, the attribute pass over one anchor,
// and the resolution and filtering of one href value.
//
// The working lists belong to one call, so extractions on different threads never meet.

#include <cstddef>
#include <string>
#include <vector>

namespace plovik {

// The address of the page being processed, as links are resolved against it.
struct LinkBase {
    std::string strServer;  // host alone
    std::string strObject;  // object path with any query, beginning with "/"
    long nPort = 80;        // written into rebuilt addresses unless it is 80
};

// The anchor expression (group 1: the attribute text) and the attribute expression
// (group 1: the name, group 2: the quote, group 3: the value).
extern const char* const kAnchorExpression;
extern const char* const kAttributeExpression;

// Characters stripped from both ends of attribute texts, names and values.
extern const char* const kTrimSet;

// "http://" + host, plus ":port" when the port is not 80.
std::string SiteRoot(const LinkBase& base);

// Appends zero or one address for one href value.
void AddLink(const LinkBase& base, const std::string& strHref, std::vector<std::string>& links);

// Sets strHref to the value of the last attribute named exactly "href"; leaves it
// unchanged when there is none.
void ExtractHref(const std::string& strAttributes, std::string& strHref);

enum class AnchorPassResult { Links, NoAnchors, GaveUp };

// Greps the page for anchors and appends their links. GaveUp: the engine hit its
// complexity or memory limits, or the page exceeded the extraction budget; nothing
// is appended then, as for a grep that found nothing. pHrefs, when set, receives the
// href value of each link appended, one for one.
AnchorPassResult RunAnchorPass(const std::string& strText, const LinkBase& base, std::vector<std::string>& links,
                               std::vector<std::string>* pHrefs = nullptr);

// The same over segments of about nSegment bytes (at least); RunAnchorPass uses
// kAnchorSegmentBytes. The links do not depend on the segment size.
AnchorPassResult RunAnchorPassInSegments(const std::string& strText, const LinkBase& base,
                                         std::vector<std::string>& links, std::size_t nSegment,
                                         std::vector<std::string>* pHrefs = nullptr);
extern const std::size_t kAnchorSegmentBytes;

// Where the anchor grep may cut the first nLength bytes of a page: after a closing
// tag "<s*/as*>" that no anchor match can run across (every match ends at the first
// closing tag after its opening's '>', so a cut is unsafe only where an opening
// since the previous '>' would end at the closing tag's own '>'). Segments are at
// least nSegment bytes; the last end is nLength.
std::vector<std::size_t> AnchorSegmentEnds(const std::string& strText, std::size_t nLength, std::size_t nSegment);

// Bounds on one page's anchor pass: the bytes of match text handed to the callback
// (every match carries a copy of the rest of its segment) and the number of
// anchors. Beyond either the page's extraction is abandoned (GaveUp). The byte
// bound exceeds 32 bits: a page's matches can copy more than 4 GiB in all.
extern const std::uint64_t kMaxAnchorPassBytes;
extern const std::size_t kMaxAnchorsPerPage;

}  // namespace plovik
