#pragma once
// libcurl's parsed address (CURLU): an owning handle, and one part read as a string.
// Private to the HTTP layer: no header that others include names a libcurl type.

#include <curl/curl.h>

#include <memory>
#include <string>

namespace plovik {

struct CurlUrlDeleter {
    void operator()(CURLU* p) const { curl_url_cleanup(p); }
};
using CurlUrlHandle = std::unique_ptr<CURLU, CurlUrlDeleter>;

inline bool GetPart(CURLU* pUrl, CURLUPart part, std::string& out, unsigned flags = 0)
{
    char* p = nullptr;
    if (curl_url_get(pUrl, part, &p, flags) != CURLUE_OK)
        return false;
    out = p;
    curl_free(p);
    return true;
}

}  // namespace plovik
