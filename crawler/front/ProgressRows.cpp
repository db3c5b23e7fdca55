#include "ProgressRows.h"

#include "CrawlNotifier.h"
#include "TextFormat.h"

#include <algorithm>

namespace plovik {

namespace {

// The address without its first 7 characters (the "http://"); an https address,
// which only the standard link rules make, keeps its scheme.
std::string LabelOf(const std::string& strUrl)
{
    if (strUrl.compare(0, 8, "https://") == 0)
        return strUrl;
    return strUrl.size() > 7 ? strUrl.substr(7) : std::string();
}

}  // namespace

bool LabelsEqualIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && LowerAscii(a) == LowerAscii(b);
}

int ResultRowSink::FindRow(const std::string& sLabel) const
{
    const int nRows = RowCount();
    for (int i = 0; i < nRows; ++i)
        if (LabelsEqualIgnoringCase(RowLabel(i), sLabel))
            return i;
    return -1;
}

void ProgressRows::ResetProgress(std::uint32_t nPagesSetting)
{
    m_sink.DeleteAllRows();
    SetRange(0, static_cast<int>(nPagesSetting & 0xFFFFu));
    SetPos(0);
    m_sink.SetStatusText(std::string());
}

int ProgressRows::FindPageRow(const std::string& strUrl) const
{
    return m_sink.FindRow(LabelOf(strUrl));
}

ResultRow ProgressRows::RowFor(const PageRecord& record)
{
    return ResultRow{LabelOf(record.strUrl),
                     "-",
                     FormatInt(static_cast<std::int64_t>(record.inLinks.size())),
                     FormatInt(record.nOutLinks),
                     FormatInt(record.nDepth),
                     FormatInt(record.nStatus)};
}

std::string ProgressRows::ScanningText(const std::string& strUrl)
{
    return "Scanning " + strUrl;
}

std::string ProgressRows::IterationText(std::int32_t nDone, std::int32_t nOf)
{
    return "Completing calculation iteration " + FormatInt(nDone) + " of " + FormatInt(nOf);
}

std::string ProgressRows::TotalText(std::int32_t nTotalTimes1000)
{
    // Single-precision payload times single-precision 0.001, product in single
    // precision too: a double product differs in the third decimal for some totals.
    const float fTotal = static_cast<float>(nTotalTimes1000) * 0.001f;
    return FormatFixed3(fTotal);
}

std::string ProgressRows::CompletedText(std::int32_t nTotalTimes1000)
{
    return "Completed. Total PR = " + TotalText(nTotalTimes1000);
}

void ProgressRows::SetRange(int nLow, int nHigh)
{
    m_nLow = nLow;
    m_nHigh = nHigh;
    m_sink.SetProgressRange(nLow, nHigh);
    SetPos(m_nPos);
}

void ProgressRows::SetPos(int nPos)
{
    m_nPos = std::clamp(nPos, m_nLow, std::max(m_nLow, m_nHigh));
    m_sink.SetProgressPos(m_nPos);
}

void ProgressRows::ShowRanks(const RankIteration& ranks)
{
    const std::size_t n = ranks.Count();
    for (std::size_t k = 0; k < n; ++k)
        m_sink.SetCell(FindPageRow(ranks.Page(k).strUrl), COL_PR, FormatFixed3(ranks.Rank(k)));
}

int ProgressRows::OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber,
                                  const RankIteration* pRanks)
{
    const bool bNeedsRecord = nCode >= CP_PAGE_ADDED && nCode <= CP_PAGE_DONE;
    if (bNeedsRecord && !pRecord)
        return 0;
    switch (nCode) {
    case CP_PAGE_ADDED:
        if (FindPageRow(pRecord->strUrl) != -1)
            return -1;
        m_sink.AddRow(RowFor(*pRecord));
        break;
    case CP_RANK_CHANGED:
        m_sink.SetCell(FindPageRow(pRecord->strUrl), COL_PR, FormatFixed3(pRecord->fNewRank));
        break;
    case CP_INLINKS_CHANGED:
        m_sink.SetCell(FindPageRow(pRecord->strUrl), COL_IN,
                       FormatInt(static_cast<std::int64_t>(pRecord->inLinks.size())));
        break;
    case CP_PAGE_FETCHED: {
        const int nRow = FindPageRow(pRecord->strUrl);
        m_sink.SetCell(nRow, COL_OUT, FormatInt(pRecord->nOutLinks));
        m_sink.SetCell(nRow, COL_STATUS, FormatInt(pRecord->nStatus));
        break;
    }
    case CP_PAGE_DONE:
        SetPos(m_nPos + 1);
        m_sink.SetStatusText(ScanningText(pRecord->strUrl));
        break;
    case CP_CALC_START:
        SetRange(0, static_cast<int>(m_sink.IterationsSetting() & 0xFFFFu));
        SetPos(0);
        m_sink.SetStatusText(std::string());
        break;
    case CP_ITERATION_DONE: {
        if (pRanks)
            ShowRanks(*pRanks);
        const int nPos = m_nPos + 1;
        SetPos(nPos);
        m_sink.SetStatusText(IterationText(nPos, static_cast<std::int32_t>(m_sink.IterationsSetting())));
        break;
    }
    case CP_CALC_DONE:
        m_sink.SetStatusText(CompletedText(nNumber));
        break;
    default:
        break;
    }
    return 0;
}

}  // namespace plovik
