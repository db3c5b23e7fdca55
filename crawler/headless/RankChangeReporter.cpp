#include "RankChangeReporter.h"

#include <cmath>
#include <locale>
#include <sstream>

#include "ProgressRows.h"

namespace plovik {

std::string RankChangeReporter::ChangeText(int nIteration, double dChange, const std::string& strUrl)
{
    std::ostringstream s;
    s.imbue(std::locale::classic());
    s.setf(std::ios::fixed);
    s.precision(6);
    s << "plovik: iteration " << nIteration << ": largest rank change " << dChange;
    if (!strUrl.empty())
        s << " (" << strUrl << ')';
    return s.str();
}

void RankChangeReporter::OnCrawlProgress(int nCode, const PageRecord*, std::int32_t)
{
    if (nCode == CP_CALC_START) {
        m_previous.clear();
        m_nIteration = 0;
    }
}

void RankChangeReporter::OnIterationDone(const RankIteration& ranks)
{
    double dLargest = 0.0;
    std::string strWhere;
    for (std::size_t k = 0; k < ranks.Count(); ++k) {
        const PageRecord& page = ranks.Page(k);
        if (page.nIndex >= m_previous.size())
            m_previous.resize(page.nIndex + 1, 1.0f);
        float& fPrevious = m_previous[page.nIndex];
        const double dChange = std::fabs(static_cast<double>(ranks.Rank(k)) - static_cast<double>(fPrevious));
        // The first page in table order wins a tie, so the line does not depend on chance.
        if (dChange > dLargest) {
            dLargest = dChange;
            strWhere = page.strUrl;
        }
        fPrevious = ranks.Rank(k);
    }
    m_report(ChangeText(++m_nIteration, dLargest, strWhere));
}

}  // namespace plovik
