#include "LoopbackSite.h"

#include <httplib.h>

#include <chrono>

LoopbackSite::LoopbackSite(std::map<std::string, std::string> pages, std::string strSlowPath, int nSlowMs)
    : m_pServer(std::make_unique<httplib::Server>()),
      m_pages(std::move(pages)),
      m_strSlowPath(std::move(strSlowPath)),
      m_nSlowMs(nSlowMs)
{
    m_pServer->Get(R"(/.*)", [this](const httplib::Request& request, httplib::Response& response) {
        ++m_nRequests;
        if (request.path == m_strSlowPath) {
            // Sleep in small steps so the server can shut down promptly.
            for (int i = 0; i < m_nSlowMs / 20 && !m_bClosing.load(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        const auto it = m_pages.find(request.path);
        if (it == m_pages.end()) {
            response.status = 404;
            response.set_content("<html>missing</html>", "text/html");
            return;
        }
        response.set_content(it->second, "text/html");
    });
    m_nPort = m_pServer->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_pServer->listen_after_bind(); });
    while (!m_pServer->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

LoopbackSite::~LoopbackSite()
{
    m_bClosing = true;
    m_pServer->stop();
    m_thread.join();
}

std::string LoopbackSite::Root() const
{
    return "http://127.0.0.1:" + std::to_string(m_nPort) + "/";
}
