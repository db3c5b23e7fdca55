// The HTTP layer on Windows: WinINet, with the same requests, limits and results as
// the libcurl layer.

#include "HttpClient.h"

#include "BodyPieces.h"
#include "RequestAddress.h"
#include "TextFormat.h"

#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace plovik {

namespace {

// One 1024-byte piece per read, as the crawl has always read. (Under Wine a read of
// a chunked body costs tens of milliseconds; larger reads of an endless chunked body
// did not return at all there.)
constexpr DWORD kReadSize = 1024;

std::string LastErrorText(DWORD nError)
{
    char szText[512] = {};
    const DWORD nLen = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      GetModuleHandleA("wininet.dll"), nError, 0, szText, sizeof szText, nullptr);
    std::string s(szText, nLen);
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s.empty() ? "WinINet error " + std::to_string(nError) : s;
}

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

bool IsRedirect(DWORD nStatus)
{
    return nStatus == 301 || nStatus == 302 || nStatus == 303 || nStatus == 307 || nStatus == 308;
}

bool QueryLocation(HINTERNET hRequest, std::string& strLocation)
{
    DWORD nLen = 0;
    HttpQueryInfoA(hRequest, HTTP_QUERY_LOCATION, nullptr, &nLen, nullptr);
    if (nLen == 0)
        return false;
    std::string s(nLen + 1, '\0');
    if (!HttpQueryInfoA(hRequest, HTTP_QUERY_LOCATION, &s[0], &nLen, nullptr))
        return false;
    s.resize(nLen);
    strLocation = s;
    return true;
}

// The redirect's target against the address that answered with it.
bool ResolveLocation(const std::string& strBase, const std::string& strLocation, std::string& strTarget)
{
    DWORD nLen = 0;
    const DWORD nFlags = ICU_NO_ENCODE | ICU_NO_META;
    InternetCombineUrlA(strBase.c_str(), strLocation.c_str(), nullptr, &nLen, nFlags);
    if (nLen == 0)
        return false;
    std::string s(nLen + 1, '\0');
    nLen = static_cast<DWORD>(s.size());
    if (!InternetCombineUrlA(strBase.c_str(), strLocation.c_str(), &s[0], &nLen, nFlags))
        return false;
    s.resize(nLen);
    strTarget = s;
    return true;
}

const char kHeaders[] = "Accept: text/*\r\n";

// A server that accepts no connection within the connect time, or sends nothing for
// the stall time, fails the fetch.
void SetTimeouts(HINTERNET h, const HttpOptions& options)
{
    DWORD nConnect = static_cast<DWORD>(options.nConnectTimeoutMs);
    DWORD nStall = static_cast<DWORD>(options.nStallTimeoutSec * 1000);
    InternetSetOptionA(h, INTERNET_OPTION_CONNECT_TIMEOUT, &nConnect, sizeof nConnect);
    InternetSetOptionA(h, INTERNET_OPTION_SEND_TIMEOUT, &nStall, sizeof nStall);
    InternetSetOptionA(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &nStall, sizeof nStall);
}

void CloseRequest(HINTERNET& hRequest, HINTERNET& hConnection)
{
    if (hRequest)
        InternetCloseHandle(hRequest);
    if (hConnection)
        InternetCloseHandle(hConnection);
    hRequest = nullptr;
    hConnection = nullptr;
}

}  // namespace

void HttpGlobalInit()
{
    // WinINet needs no process-wide set-up.
}

HttpResult HttpGet(const std::string& strUrl, const HttpOptions& options, const std::atomic<bool>* pStop)
{
    HttpResult result;
    if (pStop && pStop->load()) {
        result.strError = "stopped";
        return result;
    }
    result.strFinalUrl = RequestAddress(strUrl);
    HttpAddress site;
    if (!ParseWebAddress(result.strFinalUrl, site)) {
        result.strError = "not an http or https address";
        return result;
    }
    // The system's proxy settings, unless every host bypasses them.
    const DWORD nAccess = options.strNoProxy == "*" ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PRECONFIG;
    HINTERNET hSession = InternetOpenA("Plovik", nAccess, nullptr, nullptr, 0);
    if (!hSession) {
        result.strError = LastErrorText(GetLastError());
        return result;
    }
    SetTimeouts(hSession, options);

    HINTERNET hConnection = nullptr;
    HINTERNET hRequest = nullptr;
    FetchWatch watch(hSession, pStop, std::chrono::seconds(options.nTotalTimeoutSec));
    {
        // Always from the server, never into the cache; redirects are followed here,
        // so that their number, schemes and sites can be checked.
        const DWORD nFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                             INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI |
                             INTERNET_FLAG_KEEP_CONNECTION;
        std::string strAddress = result.strFinalUrl;
        for (long nRedirects = 0;; ++nRedirects) {
            // A stop between two hops closed the session and every handle under it.
            if (watch.Aborted()) {
                hRequest = hConnection = nullptr;
                result.strError = "stopped";
                break;
            }
            CloseRequest(hRequest, hConnection);
            HttpAddress address;
            ParseWebAddress(strAddress, address);  // checked before the hop
            // Connection and request apart, not one open of the whole address: the
            // request takes its timeouts before it is sent, and redirects are
            // followed here. (WinINet still collapses dot segments of the object.)
            hConnection = InternetConnectA(hSession, address.strHost.c_str(), static_cast<INTERNET_PORT>(address.nPort),
                                           nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
            if (hConnection)
                hRequest = HttpOpenRequestA(hConnection, "GET", address.strObject.c_str(), nullptr, nullptr, nullptr,
                                            nFlags | (address.strScheme == "https" ? INTERNET_FLAG_SECURE : 0), 1);
            if (hRequest) {
                SetTimeouts(hRequest, options);
                HttpAddRequestHeadersA(hRequest, kHeaders, static_cast<DWORD>(sizeof kHeaders - 1),
                                       HTTP_ADDREQ_FLAG_ADD_IF_NEW);
            }
            if (!hRequest || !HttpSendRequestA(hRequest, nullptr, 0, nullptr, 0)) {
                const std::string strWhy = watch.Aborted() ? "stopped" : LastErrorText(GetLastError());
                // On a redirect's target the redirect's status stays.
                result.strError = nRedirects == 0 ? strWhy : "redirect to " + strAddress + " failed: " + strWhy;
                break;
            }
            DWORD nStatus = 0;
            DWORD nLen = sizeof nStatus;
            if (!HttpQueryInfoA(hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &nStatus, &nLen, nullptr)) {
                result.strError = LastErrorText(GetLastError());
                break;
            }
            result.nStatus = static_cast<std::int32_t>(nStatus);
            std::string strLocation, strTarget;
            if (!IsRedirect(nStatus) || !QueryLocation(hRequest, strLocation))
                break;
            // Only http and https on the same site, at most the allowed number of
            // hops; otherwise the redirect's own status is the result.
            if (!ResolveLocation(strAddress, strLocation, strTarget)) {
                result.strError = "redirect to an unusable address: " + strLocation;
                break;
            }
            if (!MayFollowRedirect(site, strTarget, nRedirects, options, result))
                break;
            strAddress = RequestAddress(strTarget);
            result.strFinalUrl = strAddress;
        }
        if (hRequest && result.nStatus == 200) {
            BodyPieces body(options.nMaxBodyBytes, options.bWholeBody);
            std::vector<char> buffer(kReadSize);
            for (;;) {
                DWORD nRead = 0;
                if (!InternetReadFile(hRequest, buffer.data(), kReadSize, &nRead)) {
                    result.strError = watch.Aborted() ? "stopped" : LastErrorText(GetLastError());
                    break;
                }
                if (nRead == 0) {
                    result.bBodyRead = true;
                    result.strText = std::move(body.Text());
                    break;
                }
                // Past the cap the body is abandoned. Closing the request then reads
                // on while data keeps arriving (Wine's WinINet drains a body to keep
                // its connection), so only a server that outpaces that forever can
                // hold the close; the cap still bounds what is kept.
                if (options.bCutBodyAtCap && !body.AppendUpToCap(buffer.data(), nRead)) {
                    result.bBodyRead = true;
                    result.strText = std::move(body.Text());
                    break;
                }
                if (!options.bCutBodyAtCap && !body.Append(buffer.data(), nRead)) {
                    result.strError = "body larger than " + std::to_string(options.nMaxBodyBytes) + " bytes";
                    break;
                }
            }
        }
    }
    // Closing the session closed every handle under it.
    if (watch.Finish())
        return result;
    CloseRequest(hRequest, hConnection);
    InternetCloseHandle(hSession);
    return result;
}

}  // namespace plovik
