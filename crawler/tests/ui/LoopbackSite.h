#pragma once
// A small web site on the loopback interface for window tests.

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

class LoopbackSite {
public:
    // path -> HTML body; every path not listed answers 404. strSlowPath answers only
    // after nSlowMs (for stop and second-crawl tests).
    explicit LoopbackSite(std::map<std::string, std::string> pages, std::string strSlowPath = {}, int nSlowMs = 0);
    ~LoopbackSite();

    // "http://127.0.0.1:PORT/"
    std::string Root() const;
    int Requests() const { return m_nRequests.load(); }

private:
    std::unique_ptr<httplib::Server> m_pServer;
    std::map<std::string, std::string> m_pages;
    const std::string m_strSlowPath;
    const int m_nSlowMs;
    std::atomic<int> m_nRequests{0};
    std::atomic<bool> m_bClosing{false};
    int m_nPort = 0;
    std::thread m_thread;
};
