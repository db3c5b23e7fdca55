#pragma once
// "The links of this page": the step of the crawl that reads a fetched page, and
// decides which addresses the crawl may fetch and which new links it queues. Two
// sets of rules implement it: the classic ones (pattern matching, the program's
// default) and the standard ones (an HTML parser, RFC 3986, https, robots.txt).

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "HttpClient.h"

namespace plovik {

enum class LinkRules { Classic, Standard };

// One fetched page with status 200, read to its end.
struct FetchedPage {
    const std::string& strText;
    const HttpAddress& address;      // the address requested, taken apart
    const std::string& strFinalUrl;  // the address answered, after any redirects
    // When set, AddLinks appends the href of each link it appends, as the page wrote
    // it (a saved crawl keeps them).
    std::vector<std::string>* pHrefs = nullptr;
};

// A remark about one address, for the verbose output.
struct LinkNote {
    std::string strUrl;
    std::string strText;  // empty: nothing to say
};

class LinkSource {
public:
    virtual ~LinkSource() = default;

    // Once, before the first page.
    virtual LinkNote BeginCrawl(const std::string& strStart, const HttpOptions& http,
                                const std::atomic<bool>* pStop) = 0;

    // Whether a page is read whole, zero bytes included, rather than in the classic
    // 1024-byte pieces.
    virtual bool ReadsWholeBody() const = 0;

    // Takes an address apart; false when the crawl cannot fetch it (status -1).
    virtual bool ParseAddress(const std::string& strUrl, HttpAddress& address) const = 0;

    // Appends the page's links in page order, duplicates included.
    virtual void AddLinks(const FetchedPage& page, std::vector<std::string>& links) = 0;

    // Appends where a page's redirect to another site pointed (not followed).
    virtual void AddRedirectTarget(const std::string& strTarget, std::vector<std::string>& links)
    {
        links.push_back(strTarget);
    }

    // Whether a link seen for the first time on the page at pageAddress is queued.
    virtual bool Follows(const std::string& strLink, const HttpAddress& pageAddress) const = 0;
};

std::unique_ptr<LinkSource> MakeLinkSource(LinkRules rules);

}  // namespace plovik
