#include "CrawlJob.h"

#include "NotifierFanOut.h"
#include "SiteCrawler.h"

#include <thread>

namespace plovik {

class CrawlJob::Notifier : public CrawlNotifier {
public:
    explicit Notifier(CrawlJob& job) : m_job(job) {}
    void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override
    {
        m_job.Deliver(nCode, pRecord, nNumber, nullptr);
    }
    // One blocking call per iteration rather than one per record.
    bool TakesWholeIterations() const override { return true; }
    void OnIterationDone(const RankIteration& ranks) override { m_job.Deliver(CP_ITERATION_DONE, nullptr, 0, &ranks); }
    bool WantsProcessedPages() const override { return static_cast<bool>(m_job.m_onPage); }
    void OnPageProcessed(const ProcessedPage& page) override
    {
        Call call;
        call.pPage = &page;
        m_job.Deliver(call);
    }

private:
    CrawlJob& m_job;
};

CrawlJob::CrawlJob(CrawlInputs inputs, Poster poster, Handler handler, FinishedHandler onFinished, PageHandler onPage)
    : m_inputs(std::move(inputs)),
      m_poster(std::move(poster)),
      m_handler(std::move(handler)),
      m_onFinished(std::move(onFinished)),
      m_onPage(std::move(onPage))
{
}

void CrawlJob::Run()
{
    try {
        Notifier notifier(*this);
        // The worker's own receiver first: the crawl file holds each page, and at the
        // end the ranks, before the window shows them. Otherwise "Completed" would show
        // while the file is still being finished, and a Crawl pressed then be refused.
        NotifierFanOut receivers;
        receivers.Add(m_inputs.pWorkerReceiver);
        receivers.Add(&notifier);
        CSiteCrawler crawler(&receivers, m_inputs.settings);
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

namespace {

using Clock = std::chrono::steady_clock;

// Waits a moment for a condition that the other thread usually makes true within
// microseconds, before falling back to sleeping: each sleep and wake-up costs far more
// than the handler itself.
template <class Pred>
bool SpinFor(std::chrono::microseconds budget, Pred pred)
{
    const auto deadline = Clock::now() + budget;
    for (int i = 0;; ++i) {
        if (pred())
            return true;
        if ((i & 15) == 15) {
            if (Clock::now() >= deadline)
                return false;
            std::this_thread::yield();
        }
    }
}

constexpr std::chrono::microseconds kSpin{50};
// The window's thread serves calls back to back for at most this long before it
// lets painting and input run.
constexpr std::chrono::milliseconds kServeSlice{8};

}  // namespace

bool CrawlJob::PostServeLocked()
{
    if (m_bServing || m_bServePosted)
        return true;
    // The queued call holds the job, so it stays valid even after the window is gone.
    std::weak_ptr<CrawlJob> pSelf = weak_from_this();
    if (!m_poster([pSelf] {
            if (auto pJob = pSelf.lock())
                pJob->ServeCalls();
        }))
        return false;
    m_bServePosted = true;
    return true;
}

void CrawlJob::Deliver(int nCode, const PageRecord* pRecord, std::int32_t nNumber, const RankIteration* pRanks)
{
    Deliver(Call{nCode, pRecord, nNumber, pRanks, nullptr});
}

void CrawlJob::Deliver(const Call& call)
{
    std::uint64_t nId = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bStop)
            return;
        m_call = call;
        nId = m_nPosted.load() + 1;
        m_nPosted.store(nId);
        if (!PostServeLocked()) {
            // The window cannot take calls any more: the crawl ends quietly.
            m_bStop = true;
            m_bStopSeen = true;
            if (m_pCrawler)
                m_pCrawler->RequestStop();
            return;
        }
    }
    if (SpinFor(kSpin, [&] { return m_nServed.load() >= nId || m_bStopSeen.load(); }))
        return;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_bWorkerBlocked = true;
    m_served.wait(lock, [&] { return m_bStop || m_nServed.load() >= nId; });
    m_bWorkerBlocked = false;
}

void CrawlJob::ServeCalls()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_bServePosted = false;
    if (m_bStop)
        return;
    m_bServing = true;
    const auto sliceEnd = Clock::now() + kServeSlice;
    while (!m_bStop) {
        const std::uint64_t nPosted = m_nPosted.load();
        if (nPosted > m_nServed.load()) {
            const Call call = m_call;
            lock.unlock();
            // Only Stop, which runs on this same thread, can release the worker, so
            // the record and the ranks stay valid for the whole handler.
            try {
                Handle(call);
            } catch (...) {
                // A failing update must not leave the worker waiting.
            }
            lock.lock();
            m_nServed.store(nPosted);
            if (m_bWorkerBlocked)
                m_served.notify_all();
            if (Clock::now() >= sliceEnd)
                break;
            continue;
        }
        lock.unlock();
        SpinFor(kSpin, [&] { return m_nPosted.load() > m_nServed.load() || m_bStopSeen.load(); });
        lock.lock();
        if (m_nPosted.load() == m_nServed.load())
            break;
    }
    m_bServing = false;
    if (!m_bStop && m_nPosted.load() > m_nServed.load())
        PostServeLocked();
}

void CrawlJob::Handle(const Call& call) const
{
    if (call.pPage)
        m_onPage(*call.pPage);
    else
        m_handler(call.nCode, call.pRecord, call.nNumber, call.pRanks);
}

void CrawlJob::Stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bStop = true;
    m_bStopSeen = true;
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
