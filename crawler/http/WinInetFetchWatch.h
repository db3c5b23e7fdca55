#pragma once
// The stop request and the overall deadline of one WinINet fetch, which WinINet's
// own calls do not take (WinInetHttpClient.cpp).

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace plovik {

// Closes the session from a second thread when a stop is requested or the whole
// fetch takes too long: WinINet's blocking calls on the session's handles then
// return with an error. Joined before the fetch returns.
class FetchWatch {
public:
    FetchWatch(HINTERNET hSession, const std::atomic<bool>* pStop, std::chrono::seconds total)
        : m_hSession(hSession), m_pStop(pStop), m_deadline(std::chrono::steady_clock::now() + total)
    {
        m_thread = std::thread([this] { Watch(); });
    }
    ~FetchWatch() { Finish(); }
    FetchWatch(const FetchWatch&) = delete;
    FetchWatch& operator=(const FetchWatch&) = delete;

    // True once the watch has closed the session: its handles are gone.
    bool Aborted() const { return m_bAborted.load(); }

    // Ends the watch; returns whether it closed the session.
    bool Finish()
    {
        if (m_thread.joinable()) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_bDone = true;
            }
            m_wake.notify_all();
            m_thread.join();
        }
        return m_bAborted.load();
    }

private:
    void Watch()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_bDone) {
            if ((m_pStop && m_pStop->load()) || std::chrono::steady_clock::now() >= m_deadline) {
                m_bAborted.store(true);
                InternetCloseHandle(m_hSession);
                return;
            }
            m_wake.wait_for(lock, std::chrono::milliseconds(20));
        }
    }

    HINTERNET m_hSession;
    const std::atomic<bool>* m_pStop;
    const std::chrono::steady_clock::time_point m_deadline;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bDone = false;
    std::atomic<bool> m_bAborted{false};
    std::thread m_thread;
};

}  // namespace plovik
