#pragma once
// What a main window holds of its crawl beyond its list, the same in both windows:
// the link graph behind the link views and Export links…, and the crawl file behind
// Save crawl…. The window hands it the crawl's messages as it gets them and asks it
// from its menu commands. One per window, used on the window's thread only.
//
//   inputs.pWorkerReceiver = document.BeginCrawl(inputs);             // Crawl pressed
//   document.OnProgress(...); document.OnPageProcessed(page);         // each message
//   document.EndCrawl();                                              // worker joined
//   LinksDialog(document.Graph(), strLabel)                           // Show links
//   document.Open(strPath, rowsReceiver, opened, strError, resetList) // Open crawl…

#include <memory>
#include <string>

#include "CrawlJob.h"
#include "CrawlNotifier.h"
#include "LinkExport.h"
#include "SavedCrawlReplay.h"
#include "SavedCrawlRun.h"
#include "SiteLinkGraph.h"
#include "WindowCrawlFile.h"

namespace plovik {

class CrawlDocument {
public:
    // Temporary crawl files go into strScratchFolder.
    explicit CrawlDocument(std::string strScratchFolder);

    // ------------------------------------------------------------ a crawl
    // When a crawl starts: the graph emptied and a file begun. The receiver the
    // crawl's worker must also feed (it records the file on the worker's thread), or
    // null with the reason when there is no file: the crawl runs, unsaveable, and
    // SaveRefusal says why.
    CrawlNotifier* BeginCrawl(const CrawlSetup& setup, std::string& strError);
    // The same for the worker's inputs: the file records them with this program's version.
    CrawlNotifier* BeginCrawl(const CrawlInputs& inputs)
    {
        std::string strError;
        return BeginCrawl(NewCrawlSetup(inputs.strUrl, inputs.settings), strError);
    }
    // Each message as the window's thread gets it (the shape of CrawlJob's handler).
    void OnProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber, const RankIteration* pRanks)
    {
        m_pGraph->OnProgress(nCode, pRecord, nNumber, pRanks);
    }
    void OnPageProcessed(const ProcessedPage& page) { m_pGraph->OnPageProcessed(page); }
    // Once the crawl's worker has ended, finished or stopped; again is harmless.
    void EndCrawl() { m_file.EndCrawl(); }

    // ------------------------------------------------------------ files
    // Open crawl…: the file replayed into rows (the window's own receiver, which fills
    // its list as a finished crawl does) and into a new graph. A file that is refused
    // changes nothing: the graph, the file and the list (beforeReplay, where the
    // window empties it, is not called) stay the previous crawl's.
    bool Open(const std::string& strPath, CrawlNotifier& rows, OpenedCrawl& opened, std::string& strError,
              const BeforeReplay& beforeReplay = BeforeReplay());
    bool CanSave() const { return m_file.CanSave(); }
    // Why Save crawl… cannot save now (nothing crawled yet, or a crawl that got no
    // file), for the window's message; empty when it can.
    std::string SaveRefusal() const;
    bool SaveAs(const std::string& strPath, std::string& strError) const { return m_file.SaveAs(strPath, strError); }
    bool ExportLinks(const std::string& strPath, LinkLayout layout, std::string& strError) const
    {
        return ExportLinkGraph(*m_pGraph, layout, strPath, strError);
    }

    // ------------------------------------------------------------ the views
    const SiteLinkGraph& Graph() const { return *m_pGraph; }

private:
    std::unique_ptr<SiteLinkGraph> m_pGraph;
    WindowCrawlFile m_file;
    std::string m_strNoFile;  // why the last crawl got no file
};

}  // namespace plovik
