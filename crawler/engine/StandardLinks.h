#pragma once
// The standard link rules: the href of every <a> and <area> start tag as an HTML5
// tokenizer reads the page (PageHrefs), resolved by RFC 3986 against the first
// <base href> or else the page's final address, in normal form (UrlNormalise). Only
// http and https addresses are links, and none whose path ends with one of the
// skipped extensions (SkippedExtensions.h), the classic rules' list. A link is
// followed when it is on the start address's site and the site's robots.txt allows it.

#include <string>
#include <vector>

#include "LinkSource.h"
#include "RobotsRules.h"
#include "UrlNormalise.h"

namespace plovik {

// Appends the links of a page's text, resolved against its final address; pHrefs,
// when set, receives each one's href as the tokenizer read it.
void AddStandardLinks(const std::string& strHtml, const std::string& strFinalUrl, std::vector<std::string>& links,
                      std::vector<std::string>* pHrefs = nullptr);

// The start address as the standard rules write it; empty when it is no http or
// https address.
std::string NormaliseStandardStart(const std::string& strTyped);

class StandardLinks : public LinkSource {
public:
    // Fetches the start site's robots.txt (no page, no row, no pause). Missing (4xx)
    // allows everything; unreachable (5xx, no answer, an unreadable body) allows
    // nothing beyond the start page, with a note saying so.
    LinkNote BeginCrawl(const std::string& strStart, const HttpOptions& http, const std::atomic<bool>* pStop) override;
    // The tokenizer reads zero bytes as HTML does.
    bool ReadsWholeBody() const override { return true; }
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
