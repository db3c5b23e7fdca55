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
    RunAnchorPass(page.strText, base, links);
}

// "http://" + the page's host followed by the end, ":", "/", "?" or "#".
bool ClassicLinks::Follows(const std::string& strLink, const HttpAddress& pageAddress) const
{
    const std::string strPrefix = "http://" + pageAddress.strHost;
    if (strLink.compare(0, strPrefix.size(), strPrefix) != 0)
        return false;
    if (strLink.size() == strPrefix.size())
        return true;
    const char c = strLink[strPrefix.size()];
    return c == ':' || c == '/' || c == '?' || c == '#';
}

}  // namespace plovik
