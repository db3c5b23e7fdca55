#pragma once
// Link extraction: the anchor pass over a page, the attribute pass over one anchor,
// and the resolution and filtering of one href value.
//
// The working lists are per thread, so extractions on different threads never meet.

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

// Empties the anchor list (done as soon as a response's status is known).
void ClearAnchorAttrs();

enum class AnchorPassResult { Links, NoAnchors, GaveUp };

// Greps the page for anchors and appends their links. GaveUp: the engine hit its
// complexity or memory limits, or the page exceeded the extraction budget; nothing
// is appended then, as for a grep that found nothing.
AnchorPassResult RunAnchorPass(const std::string& strText, const LinkBase& base, std::vector<std::string>& links);

// Upper bound on the bytes of match text that one page's anchor grep may hand over
// (every match carries a copy of the rest of the page, so a page with many anchors
// costs anchors x size). Beyond it the page's extraction is abandoned.
extern const std::size_t kMaxAnchorPassBytes;

}  // namespace plovik
