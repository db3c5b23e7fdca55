#pragma once
// The Crawl command below either window: one crawl at a time on its own worker
// thread, which gets a copy of the inputs, reports through a CrawlJob and is joined
// on the window's thread once it has ended. Destroying the control stops a running
// crawl and joins its worker, which ends at once (the engine notices a stop inside
// a fetch and inside the pause).

#include "CrawlJob.h"

#include <functional>
#include <memory>
#include <thread>

namespace plovik {

class CrawlControl {
public:
    // poster, handler and onPage as for CrawlJob; onFinished runs on the window's
    // thread after a crawl's worker has been joined.
    CrawlControl(CrawlJob::Poster poster, CrawlJob::Handler handler, std::function<void()> onFinished = {},
                 CrawlJob::PageHandler onPage = {});
    ~CrawlControl();
    CrawlControl(const CrawlControl&) = delete;
    CrawlControl& operator=(const CrawlControl&) = delete;

    enum class StartResult { Started, AlreadyRunning, NoThread };
    // Window's thread. A second crawl is refused while one runs.
    StartResult Start(CrawlInputs inputs);
    bool IsRunning() const;
    // Window's thread: the running crawl sends nothing more and ends soon.
    void Stop();

    // A job wired to this control's window, not started (benchmarks drive one directly).
    std::shared_ptr<CrawlJob> MakeJob(CrawlInputs inputs);

private:
    void JoinFinishedWorker();

    const CrawlJob::Poster m_poster;
    const CrawlJob::Handler m_handler;
    const std::function<void()> m_onFinished;
    const CrawlJob::PageHandler m_onPage;
    std::thread m_thread;
    std::shared_ptr<CrawlJob> m_pJob;
};

}  // namespace plovik
