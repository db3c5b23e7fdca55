#include "SkippedExtensions.h"

#include <cstring>

namespace plovik {

namespace {

const char* const kSkippedExtensions[] = {".jpg", ".png", ".gif", ".pdf", ".msi", ".exe", ".doc",
                                          ".xls", ".zip", ".mp3", ".ram", ".mpg", ".avi", ".vcf"};

char LowerAsciiChar(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Without a lower-case copy: the classic rules ask once per relative href.
bool EndsWithIgnoringCase(const std::string& strText, const char* pLowerSuffix)
{
    const std::size_t nSuffix = std::strlen(pLowerSuffix);
    if (strText.size() < nSuffix)
        return false;
    const std::size_t nStart = strText.size() - nSuffix;
    for (std::size_t i = 0; i < nSuffix; ++i)
        if (LowerAsciiChar(strText[nStart + i]) != pLowerSuffix[i])
            return false;
    return true;
}

}  // namespace

bool EndsWithSkippedExtension(const std::string& strText)
{
    for (const char* pExtension : kSkippedExtensions)
        if (EndsWithIgnoringCase(strText, pExtension))
            return true;
    return false;
}

}  // namespace plovik
