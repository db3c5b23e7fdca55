#include "NotifierFanOut.h"

namespace plovik {

void NotifierFanOut::Add(CrawlNotifier* pReceiver)
{
    if (pReceiver)
        m_receivers.push_back(pReceiver);
}

void NotifierFanOut::OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber)
{
    for (CrawlNotifier* p : m_receivers)
        p->OnCrawlProgress(nCode, pRecord, nNumber);
}

void NotifierFanOut::OnPageFailed(const std::string& strUrl, const std::string& strReason)
{
    for (CrawlNotifier* p : m_receivers)
        p->OnPageFailed(strUrl, strReason);
}

bool NotifierFanOut::TakesWholeIterations() const
{
    for (const CrawlNotifier* p : m_receivers)
        if (!p->TakesWholeIterations())
            return false;
    return true;
}

void NotifierFanOut::OnIterationDone(const RankIteration& ranks)
{
    for (CrawlNotifier* p : m_receivers)
        p->OnIterationDone(ranks);
}

void NotifierFanOut::OnPageNote(const std::string& strUrl, const std::string& strText)
{
    for (CrawlNotifier* p : m_receivers)
        p->OnPageNote(strUrl, strText);
}

bool NotifierFanOut::WantsProcessedPages() const
{
    for (const CrawlNotifier* p : m_receivers)
        if (p->WantsProcessedPages())
            return true;
    return false;
}

void NotifierFanOut::OnPageProcessed(const ProcessedPage& page)
{
    for (CrawlNotifier* p : m_receivers)
        if (p->WantsProcessedPages())
            p->OnPageProcessed(page);
}

}  // namespace plovik
