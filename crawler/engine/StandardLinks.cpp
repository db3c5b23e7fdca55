#include "StandardLinks.h"

#include "PageHrefs.h"
#include "SkippedExtensions.h"

namespace plovik {

void AddStandardLinks(const std::string& strHtml, const std::string& strFinalUrl, std::vector<std::string>& links,
                      std::vector<std::string>* pHrefs)
{
    const PageHrefs page = ReadPageHrefs(strHtml);
    if (page.hrefs.empty())
        return;
    std::string strBase = strFinalUrl;
    if (page.bHasBase) {
        // A base that resolves to no http or https address leaves the page's own.
        WebAddress base;
        if (LinkResolver(strFinalUrl).Resolve(page.strBase, base))
            strBase = base.strUrl;
    }
    const LinkResolver resolver(strBase);
    for (const std::string& strHref : page.hrefs) {
        WebAddress link;
        if (resolver.Resolve(strHref, link) && !EndsWithSkippedExtension(link.strPath)) {
            links.push_back(std::move(link.strUrl));
            if (pHrefs)
                pHrefs->push_back(strHref);
        }
    }
}

std::string NormaliseStandardStart(const std::string& strTyped)
{
    WebAddress address;
    return NormaliseAddress(strTyped, address) ? address.strUrl : std::string();
}

LinkNote StandardLinks::BeginCrawl(const std::string& strStart, const HttpOptions& http,
                                   const std::atomic<bool>* pStop)
{
    m_bHaveStart = NormaliseAddress(strStart, m_start);
    m_robots = RobotsRules();
    if (!m_bHaveStart)
        return {};
    WebAddress robots;
    if (!LinkResolver(m_start.strUrl).Resolve("/robots.txt", robots))
        return {};
    HttpOptions robotsHttp = http;
    // One byte more than is read, so that the rules see where the cap cut a line.
    robotsHttp.nMaxBodyBytes = kMaxRobotsBytes + 1;
    robotsHttp.bCutBodyAtCap = true;
    const HttpResult result = HttpGet(robots.strUrl, robotsHttp, pStop);
    const std::int32_t nStatus = result.nStatus;
    if (nStatus == 200 && result.bBodyRead) {
        m_robots = RobotsRules(result.strText, "Plovik");
        return {};
    }
    // Unreachable: the site may be in trouble, so nothing is crawled (RFC 9309).
    if (nStatus < 0 || nStatus >= 500 || nStatus == 200) {
        m_robots = RobotsRules::DisallowAll();
        const std::string strWhy = nStatus >= 500 ? "status " + std::to_string(nStatus) : result.strError;
        return {robots.strUrl, "unreachable (" + strWhy + "): no page is crawled beyond the start page"};
    }
    if (!result.strOffSiteTarget.empty())
        return {robots.strUrl, "redirects to " + result.strOffSiteTarget + ", another site: taken as missing"};
    if (!result.strError.empty())
        return {robots.strUrl, result.strError + ": taken as missing"};
    return {};
}

bool StandardLinks::ParseAddress(const std::string& strUrl, HttpAddress& address) const
{
    return ParseWebAddress(strUrl, address);
}

void StandardLinks::AddLinks(const FetchedPage& page, std::vector<std::string>& links)
{
    AddStandardLinks(page.strText, page.strFinalUrl, links, page.pHrefs);
}

void StandardLinks::AddRedirectTarget(const std::string& strTarget, std::vector<std::string>& links)
{
    WebAddress target;
    if (NormaliseAddress(strTarget, target))
        links.push_back(std::move(target.strUrl));
}

bool StandardLinks::Follows(const std::string& strLink, const HttpAddress&) const
{
    WebAddress link;
    return m_bHaveStart && NormaliseAddress(strLink, link) && SameSite(link, m_start) &&
        m_robots.Allows(link.strTarget);
}

}  // namespace plovik
