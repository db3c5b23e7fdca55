#pragma once
// The file extensions whose links neither link rules crawl: pictures, documents,
// archives, programs, sound, video and address cards. One list for both rules; each
// rule decides which text it matches: the classic rules a relative href as written
// (a query included), the standard rules the resolved path.

#include <string>

namespace plovik {

// Whether strText ends with one of the extensions, letter case ignored.
bool EndsWithSkippedExtension(const std::string& strText);

}  // namespace plovik
