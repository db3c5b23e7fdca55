#pragma once
// What one crawl's worker thread and the window share. The worker gets its own copy
// of the inputs, taken when Crawl is pressed. Every progress message is a blocking
// call into the window's thread: the worker posts it and waits until the window has
// handled it or the crawl is stopped. Stopping wakes a waiting worker, so the window
// never waits for the worker and the two cannot deadlock.

#include "CrawlNotifier.h"
#include "CrawlSettings.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace plovik {

class CSiteCrawler;

// The start address and the settings, copied when Crawl is pressed.
struct CrawlInputs {
    std::string strUrl;
    CrawlSettings settings;
    // Optional: a receiver the worker feeds itself, on its own thread, besides the
    // window (the window's crawl file). The window keeps it alive until the worker
    // has been joined.
    CrawlNotifier* pWorkerReceiver = nullptr;
};

class CrawlJob : public std::enable_shared_from_this<CrawlJob> {
public:
    // Posts fn to the window's thread without waiting; false when it cannot be posted.
    using Poster = std::function<bool(std::function<void()>)>;
    // Runs on the window's thread for each message while the worker waits. The crawl
    // sends no CP_RANK_CHANGED: each CP_ITERATION_DONE carries the iteration's ranks
    // instead (pRanks, null with every other message).
    using Handler =
        std::function<void(int nCode, const PageRecord* pRecord, std::int32_t nNumber, const RankIteration* pRanks)>;

    // onFinished runs on the window's thread after the worker has left everything
    // shared; joining the thread from there returns at once.
    using FinishedHandler = std::function<void(const CrawlJob* pJob)>;
    // Optional: runs on the window's thread for each processed page (its links and
    // hrefs), as a blocking call like the progress messages. Without it the crawl
    // does not collect hrefs for the window.
    using PageHandler = std::function<void(const ProcessedPage& page)>;
    CrawlJob(CrawlInputs inputs, Poster poster, Handler handler, FinishedHandler onFinished,
             PageHandler onPage = PageHandler());

    const CrawlInputs& Inputs() const { return m_inputs; }

    // The worker thread's whole life: crawl, rank, then tell the window it ended.
    // No exception leaves it.
    void Run();

    // Worker thread: one progress message as a blocking call into the window's
    // thread. Returns once the window has handled it or the crawl is stopped.
    void Send(int nCode, const PageRecord* pRecord, std::int32_t nNumber, const RankIteration* pRanks = nullptr)
    {
        Deliver(nCode, pRecord, nNumber, pRanks);
    }

    // Window's thread. Marks the crawl stopped, releases a worker waiting on a message,
    // and asks the engine to stop. After this the worker posts nothing more.
    void Stop();
    bool Stopped() const;
    // True once Run has returned from everything that could touch shared state.
    bool Finished() const { return m_bFinished.load(); }

private:
    class Notifier;
    struct Call {
        int nCode = 0;
        const PageRecord* pRecord = nullptr;
        std::int32_t nNumber = 0;
        const RankIteration* pRanks = nullptr;
        const ProcessedPage* pPage = nullptr;  // set: a processed page for m_onPage
    };

    // Worker thread: the blocking call.
    void Deliver(int nCode, const PageRecord* pRecord, std::int32_t nNumber, const RankIteration* pRanks);
    void Deliver(const Call& call);
    // Window's thread: one call handed to its handler.
    void Handle(const Call& call) const;
    // Window's thread: serves the waiting call, and the worker's next ones as long as
    // they follow at once (a big crawl's rank phase), for a few milliseconds at most.
    void ServeCalls();
    // With m_mutex held: make sure ServeCalls will run for a pending call.
    bool PostServeLocked();

    const CrawlInputs m_inputs;
    const Poster m_poster;
    const Handler m_handler;
    const FinishedHandler m_onFinished;
    const PageHandler m_onPage;

    mutable std::mutex m_mutex;
    std::condition_variable m_served;
    bool m_bStop = false;                     // guarded by m_mutex
    std::atomic<bool> m_bStopSeen{false};     // the same, for waits that spin
    Call m_call;                              // guarded; valid while the worker waits
    std::atomic<std::uint64_t> m_nPosted{0};  // written under m_mutex
    std::atomic<std::uint64_t> m_nServed{0};  // written under m_mutex
    bool m_bServing = false;                  // ServeCalls is running and will look for new calls
    bool m_bServePosted = false;              // a ServeCalls is queued on the window's thread
    bool m_bWorkerBlocked = false;
    CSiteCrawler* m_pCrawler = nullptr;
    std::atomic<bool> m_bFinished{false};
};

}  // namespace plovik
