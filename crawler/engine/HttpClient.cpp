#include "HttpClient.h"

#include "BodyPieces.h"
#include "RequestAddress.h"
#include "TextFormat.h"

#include <curl/curl.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

namespace plovik {

namespace {

struct EasyDeleter {
    void operator()(CURL* p) const { curl_easy_cleanup(p); }
};
struct SlistDeleter {
    void operator()(curl_slist* p) const { curl_slist_free_all(p); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;


// State of one transfer, seen by the callbacks.
struct Transfer {
    explicit Transfer(const HttpOptions& options) : body(options.nMaxBodyBytes, options.bWholeBody) {}
    CURL* pCurl = nullptr;
    const HttpOptions* pOptions = nullptr;
    const std::atomic<bool>* pStop = nullptr;
    BodyPieces body;
};

std::size_t OnBody(char* pData, std::size_t nSize, std::size_t nCount, void* pUser)
{
    auto& t = *static_cast<Transfer*>(pUser);
    const std::size_t nLen = nSize * nCount;
    long nCode = 0;
    curl_easy_getinfo(t.pCurl, CURLINFO_RESPONSE_CODE, &nCode);
    if (nCode != 200)
        return 0;  // only a 200's body is wanted; stop the transfer, keep the status
    return t.body.Append(pData, nLen) ? nLen : 0;  // over the cap: a read failure
}

int OnProgress(void* pUser, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto& t = *static_cast<Transfer*>(pUser);
    return (t.pStop && t.pStop->load()) ? 1 : 0;
}

// One handle with every option of the crawl's request.
EasyHandle MakeHandle(const std::string& strUrl, Transfer& t, curl_slist* pHeaders, char* pErrorBuffer)
{
    EasyHandle h(curl_easy_init());
    if (!h)
        return h;
    CURL* c = h.get();
    const HttpOptions& o = *t.pOptions;
    curl_easy_setopt(c, CURLOPT_URL, strUrl.c_str());
    // The object path goes out as written: dot segments stay.
    curl_easy_setopt(c, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, pErrorBuffer);
    // Only ever http or https, also after a redirect.
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, o.nMaxRedirects);
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Plovik");
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, pHeaders);
    // Certificates are verified (libcurl's default, stated here because it matters).
    // libcurl itself reads no variable for the trusted certificates; the one its
    // command-line tool honours lets a user or a test trust a private authority.
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (const char* pBundle = std::getenv("CURL_CA_BUNDLE"); pBundle && *pBundle)
        curl_easy_setopt(c, CURLOPT_CAINFO, pBundle);
    // Proxies come from the environment (libcurl's default); tests bypass them for loopback.
    if (!o.strNoProxy.empty())
        curl_easy_setopt(c, CURLOPT_NOPROXY, o.strNoProxy.c_str());
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, o.nConnectTimeoutMs);
    // Less than one byte per second for the stall time counts as a dead server.
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, o.nStallTimeoutSec);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, o.nTotalTimeoutSec);
    // Signals are unusable from a worker thread.
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
    // The progress callback lets a stop request interrupt a fetch.
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t);
    return h;
}

}  // namespace

void HttpGlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpResult HttpGet(const std::string& strUrl, const HttpOptions& options, const std::atomic<bool>* pStop)
{
    HttpGlobalInit();
    HttpResult result;
    Transfer t(options);
    t.pOptions = &options;
    t.pStop = pStop;
    HeaderList headers(curl_slist_append(nullptr, "Accept: text/*"));
    char szError[CURL_ERROR_SIZE] = {};
    const std::string strRequest = RequestAddress(strUrl);
    EasyHandle h = MakeHandle(strRequest, t, headers.get(), szError);
    if (!h || !headers) {
        result.strError = "out of memory";
        return result;
    }
    t.pCurl = h.get();
    const CURLcode rc = curl_easy_perform(h.get());
    long nCode = 0;
    curl_easy_getinfo(h.get(), CURLINFO_RESPONSE_CODE, &nCode);
    result.nStatus = nCode > 0 ? static_cast<std::int32_t>(nCode) : -1;
    char* pFinal = nullptr;
    curl_easy_getinfo(h.get(), CURLINFO_EFFECTIVE_URL, &pFinal);
    result.strFinalUrl = pFinal ? pFinal : strRequest;
    if (rc == CURLE_OK && nCode == 200) {
        result.bBodyRead = true;
        result.strText = std::move(t.body.Text());
    } else if (nCode <= 0 || nCode == 200) {
        // Other statuses end on purpose once their headers are in: no failure.
        if (t.body.OverCap())
            result.strError = "body larger than " + std::to_string(options.nMaxBodyBytes) + " bytes";
        else
            result.strError = szError[0] ? szError : curl_easy_strerror(rc);
    }
    return result;
}

}  // namespace plovik
