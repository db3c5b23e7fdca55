#pragma once
// The classic link rules: anchors found by pattern (LinkExtraction), resolved against
// the page's address as requested; a link is followed when it begins with "http://"
// and the host of the page it was found on, and names that host and port.

#include "LinkSource.h"

namespace plovik {

class ClassicLinks : public LinkSource {
public:
    LinkNote BeginCrawl(const std::string&, const HttpOptions&, const std::atomic<bool>*) override { return {}; }
    // A zero byte ends its 1024-byte piece, as the classic rules always read pages.
    bool ReadsWholeBody() const override { return false; }
    bool ParseAddress(const std::string& strUrl, HttpAddress& address) const override;
    void AddLinks(const FetchedPage& page, std::vector<std::string>& links) override;
    bool Follows(const std::string& strLink, const HttpAddress& pageAddress) const override;
};

}  // namespace plovik
