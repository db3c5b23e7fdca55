#include "CrawlDocument.h"

#include "NotifierFanOut.h"

namespace plovik {

CrawlDocument::CrawlDocument(std::string strScratchFolder)
    : m_pGraph(std::make_unique<SiteLinkGraph>()), m_file(std::move(strScratchFolder))
{
}

CrawlNotifier* CrawlDocument::BeginCrawl(const CrawlSetup& setup, std::string& strError)
{
    m_pGraph->Reset();
    return m_file.BeginCrawl(setup, strError);
}

CrawlSetup CrawlDocument::SetupOf(const CrawlInputs& inputs)
{
    CrawlSetup setup;
    setup.strStartUrl = inputs.strUrl;
    setup.linkRules = inputs.settings.linkRules;
    setup.nMaxPages = inputs.settings.nMaxPages;
    setup.nIterations = inputs.settings.nIterations;
    setup.strProgramVersion = PLOVIK_VERSION;
    return setup;
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
    return true;
}

}  // namespace plovik
