#pragma once
// A file written whole or not at all: the bytes go to a file beside it, which then
// replaces it, so a failed export never leaves half a file or spoils an old one.

#include <string>

namespace plovik {

// False with the reason when the file could not be written; the old file, if any,
// is then unchanged and nothing is left beside it.
bool WriteWholeFile(const std::string& strPath, const std::string& bytes, std::string& strError);

}  // namespace plovik
