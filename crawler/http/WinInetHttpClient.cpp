// The HTTP layer on Windows: WinINet, with the same requests, limits and results as
// the libcurl layer.

#include "HttpClient.h"

#include "BodyPieces.h"
#include "RequestAddress.h"
#include "TextFormat.h"
#include "WinInetFetchWatch.h"

#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <cstdlib>
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

bool IsRedirect(std::int32_t nStatus)
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

// ---- Opening

// The system's proxy settings, unless every host bypasses them. Null on failure,
// with GetLastError's reason untouched.
HINTERNET OpenSession(const HttpOptions& options)
{
    const DWORD nAccess = options.strNoProxy == "*" ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PRECONFIG;
    HINTERNET hSession = InternetOpenA("Plovik", nAccess, nullptr, nullptr, 0);
    if (hSession)
        SetTimeouts(hSession, options);
    return hSession;
}

// The handles of one hop: a connection to the host and the request on it.
struct RequestHandles {
    HINTERNET hConnection = nullptr;
    HINTERNET hRequest = nullptr;

    void Close()
    {
        if (hRequest)
            InternetCloseHandle(hRequest);
        if (hConnection)
            InternetCloseHandle(hConnection);
        Forget();
    }
    // The session was closed, and every handle under it.
    void Forget() { hRequest = hConnection = nullptr; }
};

// Opens and sends the GET of one hop; false when it was not sent (GetLastError
// says why). Connection and request apart, not one open of the whole address: the
// request takes its timeouts before it is sent. (WinINet still collapses dot
// segments of the object.)
bool SendRequest(HINTERNET hSession, const std::string& strAddress, const HttpOptions& options, RequestHandles& handles)
{
    // Always from the server, never into the cache; redirects are followed by
    // FollowRedirects, so that their number, schemes and sites can be checked.
    const DWORD nFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT |
        INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_KEEP_CONNECTION;
    HttpAddress address;
    ParseWebAddress(strAddress, address);  // checked before the hop
    handles.hConnection = InternetConnectA(hSession, address.strHost.c_str(), static_cast<INTERNET_PORT>(address.nPort),
                                           nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
    if (handles.hConnection)
        handles.hRequest =
            HttpOpenRequestA(handles.hConnection, "GET", address.strObject.c_str(), nullptr, nullptr, nullptr,
                             nFlags | (address.strScheme == "https" ? INTERNET_FLAG_SECURE : 0), 1);
    if (handles.hRequest) {
        SetTimeouts(handles.hRequest, options);
        HttpAddRequestHeadersA(handles.hRequest, kHeaders, static_cast<DWORD>(sizeof kHeaders - 1),
                               HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    }
    return handles.hRequest && HttpSendRequestA(handles.hRequest, nullptr, 0, nullptr, 0);
}

// ---- Redirects

// The response's status into result; false, with the reason, when there is none.
bool ReadStatus(HINTERNET hRequest, HttpResult& result)
{
    DWORD nStatus = 0;
    DWORD nLen = sizeof nStatus;
    if (!HttpQueryInfoA(hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &nStatus, &nLen, nullptr)) {
        result.strError = LastErrorText(GetLastError());
        return false;
    }
    result.nStatus = static_cast<std::int32_t>(nStatus);
    return true;
}

// The target of a redirect response, resolved against the address that answered;
// false for any other response, or a Location that makes no address (result says so).
bool RedirectTarget(HINTERNET hRequest, const std::string& strAddress, HttpResult& result, std::string& strTarget)
{
    std::string strLocation;
    if (!IsRedirect(result.nStatus) || !QueryLocation(hRequest, strLocation))
        return false;
    if (!ResolveLocation(strAddress, strLocation, strTarget)) {
        result.strError = "redirect to an unusable address: " + strLocation;
        return false;
    }
    return true;
}

// Requests result.strFinalUrl and then each redirect's target that may be followed
// (http or https on the same site, at most the allowed number of hops); otherwise the
// redirect's own status is the result. handles end as those of the last request.
void FollowRedirects(HINTERNET hSession, const HttpAddress& site, const HttpOptions& options, const FetchWatch& watch,
                     RequestHandles& handles, HttpResult& result)
{
    std::string strAddress = result.strFinalUrl;
    for (long nRedirects = 0;; ++nRedirects) {
        // A stop between two hops closed the session and every handle under it.
        if (watch.Aborted()) {
            handles.Forget();
            result.strError = "stopped";
            return;
        }
        handles.Close();
        if (!SendRequest(hSession, strAddress, options, handles)) {
            const std::string strWhy = watch.Aborted() ? "stopped" : LastErrorText(GetLastError());
            // On a redirect's target the redirect's status stays.
            result.strError = nRedirects == 0 ? strWhy : "redirect to " + strAddress + " failed: " + strWhy;
            return;
        }
        std::string strTarget;
        if (!ReadStatus(handles.hRequest, result) || !RedirectTarget(handles.hRequest, strAddress, result, strTarget) ||
            !MayFollowRedirect(site, strTarget, nRedirects, options, result))
            return;
        strAddress = RequestAddress(strTarget);
        result.strFinalUrl = strAddress;
    }
}

// ---- Reading

// The body of a 200, piece by piece, within the cap.
void ReadBody(HINTERNET hRequest, const HttpOptions& options, const FetchWatch& watch, HttpResult& result)
{
    BodyPieces body(options.nMaxBodyBytes, options.bWholeBody);
    std::vector<char> buffer(kReadSize);
    for (;;) {
        DWORD nRead = 0;
        if (!InternetReadFile(hRequest, buffer.data(), kReadSize, &nRead)) {
            result.strError = watch.Aborted() ? "stopped" : LastErrorText(GetLastError());
            return;
        }
        if (nRead == 0) {
            result.bBodyRead = true;
            result.strText = std::move(body.Text());
            return;
        }
        // Past the cap the body is abandoned. Closing the request then reads on
        // while data keeps arriving (Wine's WinINet drains a body to keep its
        // connection), so only a server that outpaces that forever can hold the
        // close; the cap still bounds what is kept.
        if (options.bCutBodyAtCap && !body.AppendUpToCap(buffer.data(), nRead)) {
            result.bBodyRead = true;
            result.strText = std::move(body.Text());
            return;
        }
        if (!options.bCutBodyAtCap && !body.Append(buffer.data(), nRead)) {
            result.strError = "body larger than " + std::to_string(options.nMaxBodyBytes) + " bytes";
            return;
        }
    }
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
    HINTERNET hSession = OpenSession(options);
    if (!hSession) {
        result.strError = LastErrorText(GetLastError());
        return result;
    }
    RequestHandles handles;
    FetchWatch watch(hSession, pStop, std::chrono::seconds(options.nTotalTimeoutSec));
    FollowRedirects(hSession, site, options, watch, handles, result);
    if (handles.hRequest && result.nStatus == 200)
        ReadBody(handles.hRequest, options, watch, result);
    // Closing the session closed every handle under it.
    if (watch.Finish())
        return result;
    handles.Close();
    InternetCloseHandle(hSession);
    return result;
}

}  // namespace plovik
