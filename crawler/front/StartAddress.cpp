#include "StartAddress.h"

#include "HttpClient.h"
#include "StandardLinks.h"
#include "TextFormat.h"

namespace plovik {

const char* const kRefusedAddressText = "This website cannot be scanned.";

std::string InvalidAddressText()
{
    return "Invalid URL. Enter something like \"http://www.wikipedia.org/\" (without the quotes)";
}

std::string NormaliseStartAddress(const std::string& sTyped, LinkRules rules)
{
    if (rules == LinkRules::Standard) {
        const std::string sNormal = NormaliseStandardStart(sTyped);
        return sNormal.empty() ? sTyped : sNormal;
    }
    std::string s = LowerAscii(sTyped);
    if (!s.empty()) {
        const auto nLastSlash = s.rfind('/');
        if (nLastSlash != s.size() - 1)
            s += '/';
    }
    return s;
}

StartAddressCheck CheckStartAddress(const std::string& sNormalised, LinkRules rules)
{
    if (LowerAscii(sNormalised).find("corvane") != std::string::npos)
        return StartAddressCheck::Refused;
    HttpAddress address;
    const bool bParsed =
        rules == LinkRules::Standard ? ParseWebAddress(sNormalised, address) : ParseHttpAddress(sNormalised, address);
    if (!bParsed)
        return StartAddressCheck::Invalid;
    return StartAddressCheck::Accepted;
}

std::string StartAddressMessage(StartAddressCheck check)
{
    switch (check) {
    case StartAddressCheck::Refused:
        return kRefusedAddressText;
    case StartAddressCheck::Invalid:
        return InvalidAddressText();
    case StartAddressCheck::Accepted:
        break;
    }
    return std::string();
}

}  // namespace plovik
