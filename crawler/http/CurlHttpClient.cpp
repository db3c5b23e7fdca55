#include "HttpClient.h"

#include "BodyPieces.h"
#include "RequestAddress.h"
#include "TextFormat.h"

#include <curl/curl.h>

#include <chrono>
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
    if (t.pOptions->bCutBodyAtCap)
        return t.body.AppendUpToCap(pData, nLen) ? nLen : 0;  // over the cap: the body ends there
    return t.body.Append(pData, nLen) ? nLen : 0;             // over the cap: a read failure
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
    // Only ever http or https. Redirects are followed by HttpGet, hop by hop, so that
    // each target is checked before it is requested.
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
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

namespace {

bool IsRedirect(long nStatus)
{
    return nStatus == 301 || nStatus == 302 || nStatus == 303 || nStatus == 307 || nStatus == 308;
}

// The Location of the last response as sent, for messages about a target libcurl
// could not make an address of.
std::string RawLocation(CURL* c)
{
    curl_header* pHeader = nullptr;
    if (curl_easy_header(c, "Location", 0, CURLH_HEADER, -1, &pHeader) != CURLHE_OK || !pHeader)
        return std::string();
    return pHeader->value;
}

}  // namespace

HttpResult HttpGet(const std::string& strUrl, const HttpOptions& options, const std::atomic<bool>* pStop)
{
    HttpGlobalInit();
    HttpResult result;
    Transfer t(options);
    t.pOptions = &options;
    t.pStop = pStop;
    HeaderList headers(curl_slist_append(nullptr, "Accept: text/*"));
    char szError[CURL_ERROR_SIZE] = {};
    std::string strRequest = RequestAddress(strUrl);
    result.strFinalUrl = strRequest;
    HttpAddress site;
    if (!ParseWebAddress(strRequest, site)) {
        result.strError = "not an http or https address";
        return result;
    }
    EasyHandle h = MakeHandle(strRequest, t, headers.get(), szError);
    if (!h || !headers) {
        result.strError = "out of memory";
        return result;
    }
    t.pCurl = h.get();
    // Redirects included, a page takes the total time at most.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.nTotalTimeoutSec);
    for (long nHops = 0;; ++nHops) {
        const CURLcode rc = curl_easy_perform(h.get());
        long nCode = 0;
        curl_easy_getinfo(h.get(), CURLINFO_RESPONSE_CODE, &nCode);
        char* pEffective = nullptr;
        curl_easy_getinfo(h.get(), CURLINFO_EFFECTIVE_URL, &pEffective);
        if (pEffective)
            result.strFinalUrl = pEffective;
        if (nCode <= 0) {
            // No answer: on a redirect's target the redirect's status stays.
            const std::string strWhy = szError[0] ? szError : curl_easy_strerror(rc);
            result.strError = nHops == 0 ? strWhy : "redirect to " + strRequest + " failed: " + strWhy;
            break;
        }
        result.nStatus = static_cast<std::int32_t>(nCode);
        if (nCode == 200) {
            if (rc == CURLE_OK || (options.bCutBodyAtCap && t.body.OverCap())) {
                result.bBodyRead = true;
                result.strText = std::move(t.body.Text());
            } else if (t.body.OverCap()) {
                result.strError = "body larger than " + std::to_string(options.nMaxBodyBytes) + " bytes";
            } else {
                result.strError = szError[0] ? szError : curl_easy_strerror(rc);
            }
            break;
        }
        // Other statuses end on purpose once their headers are in: no failure.
        if (!IsRedirect(nCode))
            break;
        char* pTarget = nullptr;
        curl_easy_getinfo(h.get(), CURLINFO_REDIRECT_URL, &pTarget);
        const std::string strLocation = RawLocation(h.get());
        if (!pTarget) {
            if (!strLocation.empty())
                result.strError = "redirect to an unusable address: " + strLocation;
            break;
        }
        const std::string strTarget = pTarget;
        if (!MayFollowRedirect(site, strTarget, nHops, options, result))
            break;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.strError = "redirects took longer than " + std::to_string(options.nTotalTimeoutSec) + " s";
            break;
        }
        strRequest = RequestAddress(strTarget);
        szError[0] = '\0';
        t.body = BodyPieces(options.nMaxBodyBytes);  // nothing of a redirect's response is kept
        curl_easy_setopt(h.get(), CURLOPT_URL, strRequest.c_str());
        curl_easy_setopt(h.get(), CURLOPT_TIMEOUT_MS, static_cast<long>(left.count()));
    }
    return result;
}

}  // namespace plovik
