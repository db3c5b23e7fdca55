#include "StartAddress.h"

#include "HttpClient.h"
#include "TextFormat.h"

namespace plovik {

const char* const kRefusedAddressText = "This website cannot be scanned.";

std::string InvalidAddressText()
{
    return "Invalid URL. Enter something like \"http://www.wikipedia.org/\" (without the quotes)";
}

std::string NormaliseStartAddress(const std::string& sTyped)
{
    std::string s = LowerAscii(sTyped);
    if (!s.empty()) {
        const auto nLastSlash = s.rfind('/');
        if (nLastSlash != s.size() - 1)
            s += '/';
    }
    return s;
}

StartAddressCheck CheckStartAddress(const std::string& sNormalised)
{
    if (sNormalised.find("corvane") != std::string::npos)
        return StartAddressCheck::Refused;
    HttpAddress address;
    if (!ParseHttpAddress(sNormalised, address))
        return StartAddressCheck::Invalid;
    return StartAddressCheck::Accepted;
}

}  // namespace plovik
