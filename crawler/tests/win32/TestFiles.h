#pragma once
// Files the Win32 tests write and read back: in the system's temporary folder, named
// after the test program and its process, so that programs running at once never
// share one.

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

namespace plovik_test {

inline std::string TempPath(const std::string& strProgram, const std::string& strName)
{
    char szDir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, szDir);
    return std::string(szDir) + "plovik-" + strProgram + "-" + std::to_string(GetCurrentProcessId()) + "-" + strName;
}

// The file's bytes, or "<missing>" when it cannot be read.
inline std::string ReadFileOrMissing(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace plovik_test
