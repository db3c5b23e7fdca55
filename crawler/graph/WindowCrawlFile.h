#pragma once
// The window's crawl kept in a crawl file, so that "Save crawl…" can write it out
// whenever no crawl is running: a new crawl is recorded into a temporary file of its
// own as it runs (the command line's --save, page by page); an opened crawl is its
// own file. Saving copies that file whole, so the saved file opens, and resumes,
// exactly as one written by `plovik --save`.
//
//   CrawlNotifier* pRecorder = file.BeginCrawl(setup, strError);  // to the worker's receivers
//   ... the crawl runs; the worker ends and is joined ...
//   file.EndCrawl();
//   file.SaveAs(strChosenPath, strError);
//
// Window's thread only; the recorder BeginCrawl gives is the worker's until EndCrawl.

#include <memory>
#include <string>

#include "CrawlNotifier.h"
#include "CrawlStore.h"

namespace plovik {

class CrawlRecorder;

class WindowCrawlFile {
public:
    // Temporary files go into strScratchFolder (the system's temporary folder).
    explicit WindowCrawlFile(std::string strScratchFolder);
    // Removes the temporary file. Only once no worker uses the recorder.
    ~WindowCrawlFile();
    WindowCrawlFile(const WindowCrawlFile&) = delete;
    WindowCrawlFile& operator=(const WindowCrawlFile&) = delete;

    // Before a crawl starts: a fresh temporary file for it, the previous crawl's
    // forgotten. The receiver for the crawl's messages, or null with the reason when
    // no file can be made (the crawl can run, but not be saved).
    CrawlNotifier* BeginCrawl(const CrawlSetup& setup, std::string& strError);
    // After the crawl's worker has ended, finished or stopped: the file is closed.
    void EndCrawl();
    // An opened crawl: its own file stands for it from now on.
    void UseOpenedFile(const std::string& strPath);

    // A crawl to save, and none being recorded.
    bool CanSave() const;
    // The crawl's file copied whole to strPath (an old file there replaced, or left
    // as it was on failure). False with the reason.
    bool SaveAs(const std::string& strPath, std::string& strError) const;

private:
    void ForgetTemporary();

    std::string m_strScratch;
    std::string m_strTemporary;  // our own file, removed when done with it
    std::string m_strSource;     // the file that holds the crawl: temporary or opened
    std::unique_ptr<CrawlStore> m_pStore;
    std::unique_ptr<CrawlRecorder> m_pRecorder;
};

}  // namespace plovik
