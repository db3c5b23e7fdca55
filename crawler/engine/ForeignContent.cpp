#include "ForeignContent.h"

#include "TextFormat.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace plovik {

namespace {

// HTML start tags that end foreign content wherever they appear in it, sorted for
// a binary search.
bool BreaksOut(const std::string& strName)
{
    static const char* const kTags[] = {
        "b",     "big",   "blockquote", "body",   "br",   "center", "code",  "dd", "div",  "dl",   "dt",
        "em",    "embed", "h1",         "h2",     "h3",   "h4",     "h5",    "h6", "head", "hr",   "i",
        "img",   "li",    "listing",    "menu",   "meta", "nobr",   "ol",    "p",  "pre",  "ruby", "s",
        "small", "span",  "strike",     "strong", "sub",  "sup",    "table", "tt", "u",    "ul",   "var"};
    return std::binary_search(std::begin(kTags), std::end(kTags), strName.c_str(),
                              [](const char* a, const char* b) { return std::strcmp(a, b) < 0; });
}

bool HoldsHtml(const std::string& strName, bool bSvg, const std::string& strEncoding)
{
    if (bSvg)
        return strName == "foreignobject" || strName == "desc" || strName == "title";
    if (strName == "annotation-xml") {
        const std::string lower = LowerAscii(strEncoding);
        return lower == "text/html" || lower == "application/xhtml+xml";
    }
    return strName == "mi" || strName == "mo" || strName == "mn" || strName == "ms" || strName == "mtext";
}

}  // namespace

std::uint32_t ForeignContent::NameId(const std::string& strName)
{
    const auto inserted = m_names.emplace(strName, static_cast<std::uint32_t>(m_openCount.size()));
    if (inserted.second)
        m_openCount.push_back(0);
    return inserted.first->second;
}

void ForeignContent::Push(const std::string& strName, bool bSvg, const std::string& strEncoding)
{
    const std::uint32_t nName = NameId(strName);
    ++m_openCount[nName];
    m_open.push_back(Element{nName, bSvg, HoldsHtml(strName, bSvg, strEncoding)});
}

void ForeignContent::Pop()
{
    --m_openCount[m_open.back().nName];
    m_open.pop_back();
}

void ForeignContent::CloseToHtml()
{
    while (!m_open.empty() && !m_open.back().bHtmlInside)
        Pop();
}

bool ForeignContent::StartTag(const std::string& strName, bool bSelfClosing, bool bFont, const std::string& strEncoding)
{
    const bool bRoot = strName == "svg" || strName == "math";
    if (!InForeignElement()) {
        // HTML content, at the top or inside an integration point: only svg and math
        // open foreign elements.
        if (!bRoot)
            return true;
        if (!bSelfClosing)
            Push(strName, strName == "svg", strEncoding);
        return false;
    }
    if (BreaksOut(strName) || bFont) {
        CloseToHtml();
        return true;
    }
    const bool bSvg = strName == "svg" || (strName != "math" && m_open.back().bSvg);
    if (!bSelfClosing)
        Push(strName, bSvg, strEncoding);
    return false;
}

void ForeignContent::EndTag(const std::string& strName)
{
    const auto it = m_names.find(strName);
    if (it != m_names.end() && m_openCount[it->second] > 0) {
        const std::uint32_t nName = it->second;
        while (m_open.back().nName != nName)
            Pop();
        Pop();
        return;
    }
    // An HTML end tag inside an integration point belongs to the HTML there.
    if (!m_open.back().bHtmlInside)
        CloseToHtml();
}

}  // namespace plovik
