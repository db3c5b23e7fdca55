#include "StandardLinks.h"

#include "TextFormat.h"

#include <gumbo.h>

namespace plovik {

namespace {

// The extensions of the classic filter, applied to the resolved path.
bool HasSkippedExtension(const std::string& strPath)
{
    static const char* const kSkippedExtensions[] = {".jpg", ".png", ".gif", ".pdf", ".msi", ".exe", ".doc",
                                                     ".xls", ".zip", ".mp3", ".ram", ".mpg", ".avi", ".vcf"};
    const std::string lower = LowerAscii(strPath);
    for (const char* p : kSkippedExtensions) {
        const std::size_t n = std::char_traits<char>::length(p);
        if (lower.size() >= n && lower.compare(lower.size() - n, n, p) == 0)
            return true;
    }
    return false;
}

struct GumboOutputDeleter {
    void operator()(GumboOutput* p) const { gumbo_destroy_output(&kGumboDefaultOptions, p); }
};

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Elements that never hold others, or that the next of their kind closes.
bool NestsNothing(const std::string& strTag)
{
    static const char* const kTags[] = {"area",  "base",  "br",     "col",      "embed", "hr",  "img", "input",
                                        "link",  "meta",  "param",  "source",   "track", "wbr", "p",   "li",
                                        "dt",    "dd",    "option", "optgroup", "tr",    "td",  "th",  "tbody",
                                        "thead", "tfoot", "rb",     "rt",       "rp"};
    for (const char* p : kTags)
        if (strTag == p)
            return true;
    return false;
}

bool HoldsRawText(const std::string& strTag)
{
    return strTag == "script" || strTag == "style" || strTag == "textarea" || strTag == "title" || strTag == "xmp" ||
        strTag == "iframe" || strTag == "noembed" || strTag == "noframes";
}

}  // namespace

std::uint64_t NestingWork(const std::string& s)
{
    std::uint64_t nWork = 0, nDepth = 0;
    std::size_t i = s.find('<');
    while (i != std::string::npos && i + 1 < s.size()) {
        const char c = s[i + 1];
        std::size_t nNext = i + 1;
        if (s.compare(i, 4, "<!--") == 0) {
            const std::size_t nEnd = s.find("-->", i + 4);
            nNext = nEnd == std::string::npos ? s.size() : nEnd + 3;
        } else if (c == '/' && i + 2 < s.size() && IsAsciiLetter(s[i + 2])) {
            nDepth -= nDepth > 0 ? 1 : 0;
        } else if (IsAsciiLetter(c)) {
            std::size_t j = i + 1;
            while (j < s.size() && (IsAsciiLetter(s[j]) || (s[j] >= '0' && s[j] <= '9')))
                ++j;
            const std::string strTag = LowerAscii(s.substr(i + 1, j - i - 1));
            const std::size_t nClose = s.find('>', j);
            nWork += nDepth;
            if (HoldsRawText(strTag)) {
                const std::size_t nEnd = s.find("</", nClose == std::string::npos ? s.size() : nClose);
                nNext = nEnd == std::string::npos ? s.size() : nEnd + 2;
            } else if (!NestsNothing(strTag) && !(nClose != std::string::npos && s[nClose - 1] == '/')) {
                ++nDepth;
            }
        }
        i = s.find('<', nNext);
    }
    return nWork;
}

const std::uint64_t kMaxNestingWork = 50000000;

PageHrefs ParsePageHrefs(const std::string& strHtml)
{
    PageHrefs result;
    if (NestingWork(strHtml) > kMaxNestingWork)
        return result;
    GumboOptions options = kGumboDefaultOptions;
    // Each recorded parse error copies the stack of open elements: unwanted work that
    // grows with the nesting depth.
    options.max_errors = 0;
    std::unique_ptr<GumboOutput, GumboOutputDeleter> pOutput(
        gumbo_parse_with_options(&options, strHtml.data(), strHtml.size()));
    if (!pOutput)
        return result;
    // Document order without recursion: a hostile page may nest deeply.
    std::vector<const GumboNode*> stack{pOutput->root};
    while (!stack.empty()) {
        const GumboNode* pNode = stack.back();
        stack.pop_back();
        if (pNode->type != GUMBO_NODE_ELEMENT && pNode->type != GUMBO_NODE_TEMPLATE)
            continue;
        const GumboElement& e = pNode->v.element;
        if (e.tag_namespace == GUMBO_NAMESPACE_HTML) {
            const GumboAttribute* pHref = gumbo_get_attribute(&e.attributes, "href");
            if (pHref && (e.tag == GUMBO_TAG_A || e.tag == GUMBO_TAG_AREA))
                result.hrefs.emplace_back(pHref->value);
            else if (pHref && e.tag == GUMBO_TAG_BASE && !result.bHasBase) {
                result.strBase = pHref->value;
                result.bHasBase = true;
            }
        }
        for (unsigned i = e.children.length; i > 0; --i)
            stack.push_back(static_cast<const GumboNode*>(e.children.data[i - 1]));
    }
    return result;
}

void AddStandardLinks(const std::string& strHtml, const std::string& strFinalUrl, std::vector<std::string>& links)
{
    const PageHrefs page = ParsePageHrefs(strHtml);
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
        if (resolver.Resolve(strHref, link) && !HasSkippedExtension(link.strPath))
            links.push_back(std::move(link.strUrl));
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
    AddStandardLinks(page.strText, page.strFinalUrl, links);
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
