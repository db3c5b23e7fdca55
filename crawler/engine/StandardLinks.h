#pragma once
// The standard link rules: the href of every <a> and <area> element as an HTML5
// parser reads the page, resolved by RFC 3986 against the first <base href> or else
// the page's final address, in normal form (UrlNormalise). Only http and https
// addresses are links, and none whose path has an extension of the classic filter.
// A link is followed when it is on the start address's site and the site's
// robots.txt allows it.

#include <cstdint>
#include <string>
#include <vector>

#include "LinkSource.h"
#include "RobotsRules.h"
#include "UrlNormalise.h"

namespace plovik {

// The hrefs of a page in document order, and the href of its first <base> element
// that has one (bHasBase). Empty for a page whose nesting the parser cannot afford.
struct PageHrefs {
    std::vector<std::string> hrefs;
    std::string strBase;
    bool bHasBase = false;
};
PageHrefs ParsePageHrefs(const std::string& strHtml);

// The parser looks through the open elements for many start tags, so its work grows
// with the nesting depth times the number of tags: 100,000 unclosed <div>s take it
// over a minute, which no stop request can cut short. NestingWork estimates that
// product with a rough scan (start tags open, end tags close, void elements and those
// closed by their next sibling do not nest); a page above kMaxNestingWork (about
// half a second of parsing) gives no links.
std::uint64_t NestingWork(const std::string& strHtml);
extern const std::uint64_t kMaxNestingWork;

// Appends the links of a page's text, resolved against its final address.
void AddStandardLinks(const std::string& strHtml, const std::string& strFinalUrl, std::vector<std::string>& links);

// The start address as the standard rules write it; empty when it is no http or
// https address.
std::string NormaliseStandardStart(const std::string& strTyped);

class StandardLinks : public LinkSource {
public:
    // Fetches the start site's robots.txt (no page, no row, no pause). Missing (4xx)
    // allows everything; unreachable (5xx, no answer, an unreadable body) allows
    // nothing beyond the start page, with a note saying so.
    LinkNote BeginCrawl(const std::string& strStart, const HttpOptions& http, const std::atomic<bool>* pStop) override;
    bool ParseAddress(const std::string& strUrl, HttpAddress& address) const override;
    void AddLinks(const FetchedPage& page, std::vector<std::string>& links) override;
    void AddRedirectTarget(const std::string& strTarget, std::vector<std::string>& links) override;
    bool Follows(const std::string& strLink, const HttpAddress& pageAddress) const override;

    const RobotsRules& Robots() const { return m_robots; }

private:
    WebAddress m_start;
    bool m_bHaveStart = false;
    RobotsRules m_robots;
};

}  // namespace plovik
