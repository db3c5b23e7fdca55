#pragma once
// The address a request goes out with. A link may carry blanks and control bytes (a
// trailing carriage return stays part of a link); neither HTTP library takes them
// raw, so they go out percent-encoded. A user name and password are dropped: the
// crawl never sends them. Everything else stays as written.

#include <string>

namespace plovik {

std::string RequestAddress(const std::string& strUrl);

}  // namespace plovik
