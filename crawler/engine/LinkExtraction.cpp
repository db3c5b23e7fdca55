#include "LinkExtraction.h"

#include "SkippedExtensions.h"
#include "TextFormat.h"

#include <vantrel/RegularExpression.h>

#include <exception>

namespace plovik {

using RegexClass::RegularExpression;
using RegexClass::REMatch;

const char* const kAnchorExpression = "<s*a([^>]*)>(.*?)<s*/as*>";
const char* const kAttributeExpression = "(.*?)=(['\"])(.*?)\\2";
const char* const kTrimSet = "\n\t ";
const std::uint64_t kMaxAnchorPassBytes = std::uint64_t(4) << 30;
const std::size_t kMaxAnchorsPerPage = 500000;
const std::size_t kAnchorSegmentBytes = 4 * 1024;

namespace {

// Working lists of one anchor pass. They live on the caller's stack and reach
// the engine's callbacks through closures: no thread-local object with a
// destructor, which MinGW's emulated thread storage frees before it runs.
struct PassLists {
    std::vector<std::string> anchorAttrs;
    std::vector<std::string> attrNames;
    std::vector<std::string> attrValues;
    // Bytes of match text handed over during the anchor grep.
    std::uint64_t nAnchorPassBytes = 0;
    bool bAnchorBudgetExceeded = false;
};

std::string Trim(const std::string& s)
{
    const auto nFirst = s.find_first_not_of(kTrimSet);
    if (nFirst == std::string::npos)
        return std::string();
    const auto nLast = s.find_last_not_of(kTrimSet);
    return s.substr(nFirst, nLast - nFirst + 1);
}

bool StartsWith(const std::string& s, const char* pPrefix)
{
    return s.compare(0, std::char_traits<char>::length(pPrefix), pPrefix) == 0;
}

bool EndsWith(const std::string& s, const char* pSuffix)
{
    const std::size_t n = std::char_traits<char>::length(pSuffix);
    return s.size() >= n && s.compare(s.size() - n, n, pSuffix) == 0;
}

void OnAnchorFound(PassLists& lists, const std::vector<REMatch>& matches, bool& bContinue)
{
    for (const REMatch& m : matches)
        lists.nAnchorPassBytes += m.text.size();
    if (lists.nAnchorPassBytes > kMaxAnchorPassBytes || lists.anchorAttrs.size() >= kMaxAnchorsPerPage) {
        lists.bAnchorBudgetExceeded = true;
        bContinue = false;
        return;
    }
    if (matches.size() < 4)
        return;
    lists.anchorAttrs.push_back(Trim(matches[1].text));
}

void OnAttributeFound(PassLists& lists, const std::vector<REMatch>& matches)
{
    if (matches.size() < 4)
        return;
    lists.attrNames.push_back(Trim(matches[1].text));
    lists.attrValues.push_back(Trim(matches[3].text));
}

bool IsS(char c)
{
    return c == 's' || c == 'S';
}

// True when the '>' at s[nGt] ends a closing tag "<s*/as*>" (letters in either case).
bool ClosingTagEndsAt(const std::string& s, std::size_t nGt)
{
    std::size_t j = nGt;
    while (j > 0 && IsS(s[j - 1]))
        --j;
    if (j == 0 || (s[j - 1] != 'a' && s[j - 1] != 'A'))
        return false;
    --j;
    if (j == 0 || s[j - 1] != '/')
        return false;
    --j;
    while (j > 0 && IsS(s[j - 1]))
        --j;
    return j > 0 && s[j - 1] == '<';
}

// Every anchor match ends with a closing tag, and the expression looks at nothing
// beyond the end of its match. So the text after the last closing tag can hold no
// match: the grep skips it, which spares the copies of it and the engine's hopeless
// scans over unclosed anchors there. Returns the length to grep, 0 when there is no
// closing tag at all.
std::size_t AnchorSearchLength(const std::string& s)
{
    for (std::size_t nEnd = s.size(); nEnd > 0; --nEnd)
        if (s[nEnd - 1] == '>' && ClosingTagEndsAt(s, nEnd - 1))
            return nEnd;
    return 0;
}

}  // namespace

std::vector<std::size_t> AnchorSegmentEnds(const std::string& s, std::size_t nLength, std::size_t nSegment)
{
    std::vector<std::size_t> ends;
    const std::size_t npos = std::string::npos;
    std::size_t nLastOpen = npos;  // start of the latest "<s*a"
    std::size_t nLastGt = npos;    // the latest '>' before the current one
    std::size_t nSegmentStart = 0;
    for (std::size_t i = 0; i < nLength; ++i) {
        const char c = s[i];
        if (c == '<') {
            std::size_t j = i + 1;
            while (j < nLength && IsS(s[j]))
                ++j;
            if (j < nLength && (s[j] == 'a' || s[j] == 'A'))
                nLastOpen = i;
            continue;
        }
        if (c != '>')
            continue;
        const bool bClosing = ClosingTagEndsAt(s, i);
        // Safe to cut after it unless an opening since the previous '>' would take this
        // '>' as its own end and look for its closing tag further on.
        const bool bSafe = bClosing && (nLastOpen == npos || (nLastGt != npos && nLastOpen < nLastGt));
        if (bSafe && i + 1 - nSegmentStart >= nSegment && i + 1 < nLength) {
            ends.push_back(i + 1);
            nSegmentStart = i + 1;
        }
        nLastGt = i;
    }
    ends.push_back(nLength);
    return ends;
}

std::string SiteRoot(const LinkBase& base)
{
    std::string s = "http://" + base.strServer;
    if (base.nPort != 80)
        s += ":" + std::to_string(base.nPort);
    return s;
}

void AddLink(const LinkBase& base, const std::string& strHref, std::vector<std::string>& links)
{
    if (StartsWith(strHref, "/")) {
        links.push_back(SiteRoot(base) + strHref);
        return;
    }
    if (StartsWith(strHref, "http://")) {
        links.push_back(strHref);
        return;
    }
    const std::string lower = LowerAscii(strHref);
    static const char* const kSkippedPrefixes[] = {"#", "mailto:", "https://", "javascript:", "aim:"};
    for (const char* p : kSkippedPrefixes)
        if (StartsWith(lower, p))
            return;
    if (EndsWithSkippedExtension(lower))
        return;
    if (!EndsWith(base.strObject, "/"))
        return;
    links.push_back(SiteRoot(base) + base.strObject + strHref);
}

namespace {

void PrepareAttributeExpression(RegularExpression& re, PassLists& lists)
{
    re.SetOnGreppingClosure([&lists](RegularExpression*, const std::vector<REMatch>& matches, unsigned, unsigned,
                                     bool&) { OnAttributeFound(lists, matches); });
    re.AddExpressionOption(RegularExpression::IgnoreCase);
    re.AddExpressionOption(RegularExpression::BkRefs);
    re.SetExpression(kAttributeExpression);
}

// The attribute pass with a prepared object; a page's anchors share one, so the
// expression is compiled once per page.
void ExtractHrefWith(RegularExpression& re, PassLists& lists, const std::string& strAttributes, std::string& strHref)
{
    re.SetStringToMatch(strAttributes);
    unsigned nFound = 0;
    try {
        nFound = re.Grep();
    } catch (const std::exception&) {
        // The engine gave up on this anchor: as if nothing matched, and nothing of the
        // partial pass may reach the next anchor.
        lists.attrNames.clear();
        lists.attrValues.clear();
        return;
    }
    if (nFound == 0)
        return;
    for (std::size_t i = 0; i < lists.attrNames.size(); ++i)
        if (lists.attrNames[i] == "href")
            strHref = lists.attrValues[i];
    lists.attrNames.clear();
    lists.attrValues.clear();
}

}  // namespace

void ExtractHref(const std::string& strAttributes, std::string& strHref)
{
    PassLists lists;
    RegularExpression re;
    PrepareAttributeExpression(re, lists);
    ExtractHrefWith(re, lists, strAttributes, strHref);
}

AnchorPassResult RunAnchorPass(const std::string& strText, const LinkBase& base, std::vector<std::string>& links,
                               std::vector<std::string>* pHrefs)
{
    return RunAnchorPassInSegments(strText, base, links, kAnchorSegmentBytes, pHrefs);
}

AnchorPassResult RunAnchorPassInSegments(const std::string& strText, const LinkBase& base,
                                         std::vector<std::string>& links, std::size_t nSegment,
                                         std::vector<std::string>* pHrefs)
{
    PassLists lists;
    const std::size_t nSearch = AnchorSearchLength(strText);
    if (nSearch == 0)
        return AnchorPassResult::NoAnchors;
    unsigned nFound = 0;
    {
        RegularExpression re;
        re.SetOnGreppingClosure([&lists](RegularExpression*, const std::vector<REMatch>& matches, unsigned, unsigned,
                                         bool& bContinue) { OnAnchorFound(lists, matches, bContinue); });
        re.AddExpressionOption(RegularExpression::IgnoreCase);
        re.SetExpression(kAnchorExpression);
        // Every match hands the callback the rest of its subject, so the page is
        // grepped in segments; no match can cross their ends (see AnchorSegmentEnds).
        std::size_t nStart = 0;
        for (std::size_t nEnd : AnchorSegmentEnds(strText, nSearch, nSegment)) {
            re.SetStringToMatch(nStart == 0 && nEnd == strText.size() ? strText
                                                                      : strText.substr(nStart, nEnd - nStart));
            nStart = nEnd;
            try {
                nFound += re.Grep();
            } catch (const std::exception&) {
                // Complexity, stack or memory limits of the engine: no links from this page.
                return AnchorPassResult::GaveUp;
            }
            if (lists.bAnchorBudgetExceeded)
                break;
        }
    }
    if (lists.bAnchorBudgetExceeded)
        return AnchorPassResult::GaveUp;
    if (nFound == 0)
        return AnchorPassResult::NoAnchors;
    RegularExpression attributes;
    PrepareAttributeExpression(attributes, lists);
    for (const std::string& strAttributes : lists.anchorAttrs) {
        std::string strHref;
        ExtractHrefWith(attributes, lists, strAttributes, strHref);
        const std::size_t nBefore = links.size();
        AddLink(base, strHref, links);
        if (pHrefs && links.size() != nBefore)
            pHrefs->push_back(strHref);
    }
    return AnchorPassResult::Links;
}

}  // namespace plovik
