#pragma once
// Helpers of the https tests: a self-signed certificate for 127.0.0.1 made at test
// time, and a server (http or https) on a thread of the test, on a chosen port or
// any free one.

#include <httplib.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace plovik_test {

// A key and a self-signed certificate for 127.0.0.1 in a fresh temporary directory.
class SelfSignedCertificate {
public:
    SelfSignedCertificate()
    {
        char szDir[] = "/tmp/plovik-tls-XXXXXX";
        if (!mkdtemp(szDir))
            return;
        m_strDir = szDir;
        const std::string strCommand =
            "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj /CN=127.0.0.1"
            " -addext subjectAltName=IP:127.0.0.1 -keyout " +
            KeyFile() + " -out " + CertFile() + " >/dev/null 2>&1";
        m_bOk = std::system(strCommand.c_str()) == 0;
    }
    ~SelfSignedCertificate()
    {
        if (!m_strDir.empty())
            std::system(("rm -rf " + m_strDir).c_str());
    }
    SelfSignedCertificate(const SelfSignedCertificate&) = delete;
    SelfSignedCertificate& operator=(const SelfSignedCertificate&) = delete;

    bool Ok() const { return m_bOk; }
    std::string CertFile() const { return m_strDir + "/cert.pem"; }
    std::string KeyFile() const { return m_strDir + "/key.pem"; }

private:
    std::string m_strDir;
    bool m_bOk = false;
};

// Serves on 127.0.0.1 from a thread: on nPort, or on any free port when it is 0.
template <class ServerT>
class ServerOnThread {
public:
    template <class... Args>
    explicit ServerOnThread(int nPort, Args&&... args) : m_server(std::forward<Args>(args)...)
    {
        if (!m_server.is_valid())
            return;
        if (nPort == 0)
            m_nPort = m_server.bind_to_any_port("127.0.0.1");
        else if (m_server.bind_to_port("127.0.0.1", nPort))
            m_nPort = nPort;
        if (m_nPort <= 0)
            return;
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ~ServerOnThread()
    {
        m_server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }
    ServerOnThread(const ServerOnThread&) = delete;
    ServerOnThread& operator=(const ServerOnThread&) = delete;

    bool Running() const { return m_nPort > 0; }
    int Port() const { return m_nPort; }
    void Page(const std::string& strPath, const std::string& strBody)
    {
        m_server.Get(strPath,
                     [=](const httplib::Request&, httplib::Response& res) { res.set_content(strBody, "text/html"); });
    }

private:
    ServerT m_server;
    int m_nPort = 0;
    std::thread m_thread;
};

using HttpsServer = ServerOnThread<httplib::SSLServer>;
using PlainServer = ServerOnThread<httplib::Server>;

}  // namespace plovik_test
