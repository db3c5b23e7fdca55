#include "ClassicLinks.h"

#include "LinkExtraction.h"

namespace plovik {

bool ClassicLinks::ParseAddress(const std::string& strUrl, HttpAddress& address) const
{
    return ParseHttpAddress(strUrl, address);
}

void ClassicLinks::AddLinks(const FetchedPage& page, std::vector<std::string>& links)
{
    const LinkBase base{page.address.strHost, page.address.strObject, page.address.nPort};
    RunAnchorPass(page.strText, base, links, page.pHrefs);
}

// "http://" + the page's host followed by the end, ":", "/", "?" or "#"; and, since a
// user name can make such a text name another host ("http://host:80@other/"), the
// host and port the link names are the page's.
bool ClassicLinks::Follows(const std::string& strLink, const HttpAddress& pageAddress) const
{
    const std::string strPrefix = "http://" + pageAddress.strHost;
    if (strLink.compare(0, strPrefix.size(), strPrefix) != 0)
        return false;
    if (strLink.size() > strPrefix.size()) {
        const char c = strLink[strPrefix.size()];
        if (c != ':' && c != '/' && c != '?' && c != '#')
            return false;
    }
    HttpAddress link;
    return ParseHttpAddress(strLink, link) && SameSite(link, pageAddress);
}

}  // namespace plovik
