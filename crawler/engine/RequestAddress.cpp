#include "RequestAddress.h"

namespace plovik {

std::string RequestAddress(const std::string& strUrl)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(strUrl.size());
    for (unsigned char ch : strUrl) {
        if (ch <= 0x20 || ch == 0x7F) {
            out += '%';
            out += kHex[ch >> 4];
            out += kHex[ch & 0xF];
        } else {
            out += static_cast<char>(ch);
        }
    }
    return out;
}

}  // namespace plovik
