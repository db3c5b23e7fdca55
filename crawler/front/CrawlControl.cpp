#include "CrawlControl.h"

#include <system_error>

namespace plovik {

CrawlControl::CrawlControl(CrawlJob::Poster poster, CrawlJob::Handler handler, std::function<void()> onFinished,
                           CrawlJob::PageHandler onPage)
    : m_poster(std::move(poster)),
      m_handler(std::move(handler)),
      m_onFinished(std::move(onFinished)),
      m_onPage(std::move(onPage))
{
}

CrawlControl::~CrawlControl()
{
    Stop();
    if (m_thread.joinable())
        m_thread.join();
}

bool CrawlControl::IsRunning() const
{
    return m_thread.joinable() && m_pJob && !m_pJob->Finished();
}

void CrawlControl::JoinFinishedWorker()
{
    if (m_thread.joinable() && m_pJob && m_pJob->Finished())
        m_thread.join();  // the thread has nothing left to do: returns at once
}

void CrawlControl::Stop()
{
    if (m_pJob)
        m_pJob->Stop();
}

std::shared_ptr<CrawlJob> CrawlControl::MakeJob(CrawlInputs inputs)
{
    auto finished = [this](const CrawlJob* pJob) {
        // Only the current worker's report joins: an older one was joined already.
        if (m_pJob.get() != pJob)
            return;
        if (m_thread.joinable())
            m_thread.join();
        if (m_onFinished)
            m_onFinished();
    };
    return std::make_shared<CrawlJob>(std::move(inputs), m_poster, m_handler, finished, m_onPage);
}

CrawlControl::StartResult CrawlControl::Start(CrawlInputs inputs)
{
    if (IsRunning())
        return StartResult::AlreadyRunning;
    JoinFinishedWorker();
    m_pJob = MakeJob(std::move(inputs));
    std::shared_ptr<CrawlJob> pJob = m_pJob;
    try {
        m_thread = std::thread([pJob] { pJob->Run(); });
    } catch (const std::system_error&) {
        m_pJob.reset();
        return StartResult::NoThread;
    }
    return StartResult::Started;
}

}  // namespace plovik
