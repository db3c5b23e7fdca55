#include "RequestAddress.h"

#include "TextFormat.h"

namespace plovik {

std::string RequestAddress(const std::string& strUrl)
{
    std::string s = PercentEncodeBytes(strUrl, false);
    const std::size_t nScheme = s.find("://");
    if (nScheme == std::string::npos)
        return s;
    const std::size_t nAuthority = nScheme + 3;
    const std::size_t nAuthorityEnd = s.find_first_of("/?#", nAuthority);
    // The host follows the last "@" of the authority.
    const std::size_t nAt = s.rfind('@', nAuthorityEnd == std::string::npos ? s.size() : nAuthorityEnd - 1);
    if (nAt != std::string::npos && nAt >= nAuthority)
        s.erase(nAuthority, nAt + 1 - nAuthority);
    return s;
}

}  // namespace plovik
