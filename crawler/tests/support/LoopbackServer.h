#pragma once
// Helpers of the program's tests: a web server on the loopback interface, started on
// a thread of the test, and a notifier that records every progress message.

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CrawlNotifier.h"
#include "HttpClient.h"
#include "SiteCrawler.h"

namespace plovik_test {

struct SeenRequest {
    std::string strPath;
    httplib::Headers headers;
};

class LoopbackServer {
public:
    LoopbackServer()
    {
        m_server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(SeenRequest{req.path, req.headers});
            return httplib::Server::HandlerResponse::Unhandled;
        });
        // Stopping waits out the keep-alive time of a connection the client left open,
        // and WinINet keeps its connections open for reuse.
        m_server.set_keep_alive_timeout(1);
        m_nPort = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ~LoopbackServer()
    {
        m_bClosing = true;
        m_server.stop();
        m_thread.join();
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Serves a fixed body under a path.
    void Page(const std::string& strPath, const std::string& strBody, int nStatus = 200,
              const std::string& strType = "text/html")
    {
        m_server.Get(strPath, [=](const httplib::Request&, httplib::Response& res) {
            res.status = nStatus;
            res.set_content(strBody, strType.c_str());
        });
    }
    // Answers only after the delay (or when the server closes).
    void SlowPage(const std::string& strPath, const std::string& strBody, std::chrono::milliseconds delay)
    {
        m_server.Get(strPath, [=](const httplib::Request&, httplib::Response& res) {
            Stall(delay);
            res.set_content(strBody, "text/html");
        });
    }
    void Redirect(const std::string& strPath, const std::string& strTarget, int nStatus = 301)
    {
        m_server.Get(strPath, [=](const httplib::Request&, httplib::Response& res) {
            res.status = nStatus;
            res.set_header("Location", strTarget);
        });
    }
    httplib::Server& Raw() { return m_server; }

    // Handlers that stall poll this so that the server can stop.
    bool Closing() const { return m_bClosing; }
    // Waits up to the given time, or until the server closes.
    void Stall(std::chrono::milliseconds wait) const
    {
        const auto until = std::chrono::steady_clock::now() + wait;
        while (!m_bClosing && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    int Port() const { return m_nPort; }
    std::string Root() const { return "http://127.0.0.1:" + std::to_string(m_nPort); }
    std::string Url(const std::string& strPath) const { return Root() + strPath; }

    std::vector<SeenRequest> Requests() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }
    int RequestCount() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return static_cast<int>(m_requests.size());
    }
    std::vector<std::string> RequestedPaths() const
    {
        std::vector<std::string> paths;
        for (const SeenRequest& r : Requests())
            paths.push_back(r.strPath);
        return paths;
    }

private:
    httplib::Server m_server;
    int m_nPort = 0;
    std::thread m_thread;
    std::atomic<bool> m_bClosing{false};
    mutable std::mutex m_mutex;
    std::vector<SeenRequest> m_requests;
};

// One progress message as the receiver saw it during the call.
struct Message {
    int nCode = -1;
    std::string strUrl;  // empty for codes 5 to 7
    std::int32_t nNumber = 0;
    std::int32_t nStatus = 0;
    std::int32_t nOutLinks = 0;
    std::int32_t nDepth = 0;
    std::size_t nInLinks = 0;
    float fNewRank = 0.0f;
};

class RecordingNotifier : public plovik::CrawlNotifier {
public:
    void OnCrawlProgress(int nCode, const plovik::PageRecord* pRecord, std::int32_t nNumber) override
    {
        Message m;
        m.nCode = nCode;
        m.nNumber = nNumber;
        if (pRecord) {
            m.strUrl = pRecord->strUrl;
            m.nStatus = pRecord->nStatus;
            m.nOutLinks = pRecord->nOutLinks;
            m.nDepth = pRecord->nDepth;
            m.nInLinks = pRecord->inLinks.size();
            m.fNewRank = pRecord->fNewRank;
        }
        std::lock_guard<std::mutex> lock(m_lock);
        messages.push_back(m);
    }
    // Safe while a crawl runs on another thread.
    std::vector<Message> OfCode(int nCode) const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::vector<Message> out;
        for (const Message& m : messages)
            if (m.nCode == nCode)
                out.push_back(m);
        return out;
    }
    void OnPageFailed(const std::string& strUrl, const std::string& strReason) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        failures.push_back(strUrl + " " + strReason);
    }
    void OnPageNote(const std::string& strUrl, const std::string& strText) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        notes.push_back(strUrl + " " + strText);
    }
    // Read directly only once the crawl is over.
    std::vector<Message> messages;
    std::vector<std::string> failures;  // address, blank, reason
    std::vector<std::string> notes;     // address, blank, text

private:
    mutable std::mutex m_lock;
};

// HTTP settings of the tests: no proxy, short timeouts.
inline plovik::HttpOptions TestHttpOptions()
{
    plovik::HttpOptions o;
    o.strNoProxy = "*";
    o.nConnectTimeoutMs = 3000;
    o.nStallTimeoutSec = 2;
    o.nTotalTimeoutSec = 20;
    return o;
}

// A crawler with no pause between pages and the test HTTP settings.
inline void PrepareForTest(plovik::CSiteCrawler& crawler)
{
    crawler.SetPageDelay(std::chrono::milliseconds(0));
    crawler.SetHttpOptions(TestHttpOptions());
}

inline const plovik::PageRecord* Find(const plovik::CSiteCrawler& crawler, const std::string& strUrl)
{
    const auto it = crawler.Pages().find(strUrl);
    return it == crawler.Pages().end() ? nullptr : it->second.get();
}

// Wraps anchors into a page.
inline std::string Html(const std::string& strBody)
{
    return "<html><head><title>t</title></head><body>\n" + strBody + "\n</body></html>\n";
}

}  // namespace plovik_test
