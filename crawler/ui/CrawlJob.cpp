#include "CrawlJob.h"

#include "SiteCrawler.h"

namespace plovik {

class CrawlJob::Notifier : public CrawlNotifier {
public:
    explicit Notifier(CrawlJob& job) : m_job(job) {}
    void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override
    {
        m_job.Deliver(nCode, pRecord, nNumber);
    }

private:
    CrawlJob& m_job;
};

CrawlJob::CrawlJob(CrawlInputs inputs, Poster poster, Handler handler, FinishedHandler onFinished)
    : m_inputs(std::move(inputs)),
      m_poster(std::move(poster)),
      m_handler(std::move(handler)),
      m_onFinished(std::move(onFinished))
{
}

void CrawlJob::Run()
{
    try {
        Notifier notifier(*this);
        CSiteCrawler crawler(&notifier, m_inputs.nIterations, m_inputs.nMaxPages);
        crawler.SetPageDelay(m_inputs.pageDelay);
        crawler.SetHttpOptions(m_inputs.http);
        bool bStart = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_pCrawler = &crawler;
            bStart = !m_bStop;
        }
        try {
            if (bStart)
                crawler.Crawl(m_inputs.strUrl);
        } catch (...) {
            // The crawl ends here; the rows it reported stay.
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pCrawler = nullptr;
    } catch (...) {
        // Construction failed (out of memory): nothing was reported.
    }
    try {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_bStop && m_onFinished) {
            std::shared_ptr<CrawlJob> pSelf = shared_from_this();
            m_poster([pSelf] { pSelf->m_onFinished(pSelf.get()); });
        }
    } catch (...) {
    }
    m_bFinished.store(true);
}

void CrawlJob::Deliver(int nCode, const PageRecord* pRecord, std::int32_t nNumber)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_bStop)
        return;
    const std::uint64_t nId = ++m_nPosted;
    // The posted call holds the job, so it stays valid even after the window is gone.
    std::weak_ptr<CrawlJob> pSelf = weak_from_this();
    const bool bPosted = m_poster([pSelf, nId, nCode, pRecord, nNumber] {
        if (auto pJob = pSelf.lock())
            pJob->Serve(nId, nCode, pRecord, nNumber);
    });
    if (!bPosted)
        return;
    m_served.wait(lock, [&] { return m_bStop || m_nServed >= nId; });
}

void CrawlJob::Serve(std::uint64_t nId, int nCode, const PageRecord* pRecord, std::int32_t nNumber)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Only Stop, which runs on this same thread, can release the worker, so the
        // record stays valid for the whole handler once this check passes.
        if (m_bStop || m_nServed >= nId || m_nPosted != nId)
            return;
    }
    try {
        m_handler(nCode, pRecord, nNumber);
    } catch (...) {
        // A failing update must not leave the worker waiting.
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nServed = nId;
    m_served.notify_all();
}

void CrawlJob::Stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bStop = true;
    if (m_pCrawler)
        m_pCrawler->RequestStop();
    m_served.notify_all();
}

bool CrawlJob::Stopped() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bStop;
}

}  // namespace plovik
