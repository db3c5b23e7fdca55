#include "MarkupText.h"

#include <cstring>

namespace plovik {

MarkupText LeaveOutText(const std::string& strPage)
{
    MarkupText markup;
    markup.strText.reserve(strPage.size());
    const char* const pBegin = strPage.data();
    const char* const pEnd = pBegin + strPage.size();
    const char* p = pBegin;
    while (p < pEnd) {
        const void* pGt = std::memchr(p, '>', static_cast<std::size_t>(pEnd - p));
        const char* const pRun = pGt ? static_cast<const char*>(pGt) + 1 : pEnd;
        markup.strText.append(p, pRun);
        const char* q = pRun;
        while (q < pEnd && *q != '<' && *q != '>' && *q != '"' && *q != '\'')
            ++q;
        // Only a run that a '<' ends: text at the page's end has no tag to spare.
        if (q > pRun && q < pEnd && *q == '<')
            markup.cuts.push_back(markup.strText.size());
        else
            markup.strText.append(pRun, q);
        p = q;
    }
    return markup;
}

bool CutCursor::TagSpansCut(std::size_t nBegin, std::size_t nEnd)
{
    while (m_nNext < m_cuts.size() && m_cuts[m_nNext] <= nBegin)
        ++m_nNext;
    return m_nNext < m_cuts.size() && m_cuts[m_nNext] < nEnd;
}

}  // namespace plovik
