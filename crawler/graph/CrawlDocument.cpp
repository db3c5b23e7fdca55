#include "CrawlDocument.h"

#include "NotifierFanOut.h"
#include "ProgramTexts.h"

namespace plovik {

CrawlDocument::CrawlDocument(std::string strScratchFolder)
    : m_pGraph(std::make_unique<SiteLinkGraph>()), m_file(std::move(strScratchFolder))
{
}

CrawlNotifier* CrawlDocument::BeginCrawl(const CrawlSetup& setup, std::string& strError)
{
    m_pGraph->Reset();
    CrawlNotifier* pRecorder = m_file.BeginCrawl(setup, strError);
    m_strNoFile = pRecorder ? std::string() : strError.empty() ? "no crawl file could be made" : strError;
    return pRecorder;
}

std::string CrawlDocument::SaveRefusal() const
{
    if (CanSave())
        return std::string();
    return m_strNoFile.empty() ? kNothingToSaveText : kCannotSaveText + m_strNoFile;
}

bool CrawlDocument::Open(const std::string& strPath, CrawlNotifier& rows, OpenedCrawl& opened, std::string& strError,
                         const BeforeReplay& beforeReplay)
{
    // A graph of its own, kept only when the file is taken.
    auto pGraph = std::make_unique<SiteLinkGraph>();
    NotifierFanOut receivers;
    receivers.Add(&rows);
    receivers.Add(pGraph.get());
    if (!ReplaySavedCrawlFile(strPath, receivers, opened, strError, beforeReplay))
        return false;
    m_pGraph = std::move(pGraph);
    m_file.UseOpenedFile(strPath);
    m_strNoFile.clear();
    return true;
}

}  // namespace plovik
