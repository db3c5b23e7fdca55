// plovik_sample_server: serves a directory on the loopback interface, for the demo
// crawl of the bundled sample site.
//
//   plovik_sample_server --root DIR [--port N] [--port-file FILE] [--cert PEM --key PEM]
//
// With a certificate and its key it serves https instead of http.
// Port 0 (the default) takes any free port; the chosen one is printed and, with
// --port-file, written to FILE once the server accepts connections. SIGINT or SIGTERM
// stop it.

#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    std::string strRoot;
    std::string strPortFile;
    std::string strCert;
    std::string strKey;
    int nPort = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 < argc && a == "--root")
            strRoot = argv[++i];
        else if (i + 1 < argc && a == "--port")
            nPort = std::atoi(argv[++i]);
        else if (i + 1 < argc && a == "--port-file")
            strPortFile = argv[++i];
        else if (i + 1 < argc && a == "--cert")
            strCert = argv[++i];
        else if (i + 1 < argc && a == "--key")
            strKey = argv[++i];
        else {
            std::cerr
                << "Usage: plovik_sample_server --root DIR [--port N] [--port-file FILE] [--cert PEM --key PEM]\n";
            return 2;
        }
    }
    if (strRoot.empty()) {
        std::cerr << "plovik_sample_server: --root DIR is required\n";
        return 2;
    }

    // Signals are taken by sigwait below, not by a handler.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    const bool bTls = !strCert.empty() || !strKey.empty();
    std::unique_ptr<httplib::Server> pServer;
    if (bTls)
        pServer = std::make_unique<httplib::SSLServer>(strCert.c_str(), strKey.c_str());
    else
        pServer = std::make_unique<httplib::Server>();
    httplib::Server& server = *pServer;
    if (!server.is_valid()) {
        std::cerr << "plovik_sample_server: cannot use the certificate " << strCert << " and key " << strKey << "\n";
        return 1;
    }
    if (!server.set_mount_point("/", strRoot)) {
        std::cerr << "plovik_sample_server: cannot serve " << strRoot << "\n";
        return 1;
    }
    if (nPort == 0)
        nPort = server.bind_to_any_port("127.0.0.1");
    else if (!server.bind_to_port("127.0.0.1", nPort))
        nPort = -1;
    if (nPort <= 0) {
        std::cerr << "plovik_sample_server: cannot listen on 127.0.0.1\n";
        return 1;
    }
    std::thread listener([&server] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));

    std::cout << "Serving " << strRoot << " on " << (bTls ? "https" : "http") << "://127.0.0.1:" << nPort << "/"
              << std::endl;
    if (!strPortFile.empty()) {
        // Written under a temporary name and renamed, so a reader never sees half a number.
        const std::string strTemp = strPortFile + ".tmp";
        std::ofstream(strTemp) << nPort << "\n";
        std::rename(strTemp.c_str(), strPortFile.c_str());
    }

    int nSignal = 0;
    sigwait(&signals, &nSignal);
    server.stop();
    listener.join();
    return 0;
}
