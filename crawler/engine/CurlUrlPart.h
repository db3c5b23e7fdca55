#pragma once
// One part of an address parsed by libcurl's URL API, as a string.

#include <curl/curl.h>

#include <string>

namespace plovik {

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
