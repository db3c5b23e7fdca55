#include "RequestAddress.h"

#include "TextFormat.h"

namespace plovik {

std::string RequestAddress(const std::string& strUrl)
{
    return PercentEncodeBytes(strUrl, false);
}

}  // namespace plovik
