#include "WholeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace plovik {

namespace {

// Replaces strTo by strFrom; C's rename refuses an existing target on Windows.
bool ReplaceFile(const std::string& strFrom, const std::string& strTo)
{
#ifdef _WIN32
    return MoveFileExA(strFrom.c_str(), strTo.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(strFrom.c_str(), strTo.c_str()) == 0;
#endif
}

}  // namespace

bool WriteWholeFile(const std::string& strPath, const std::string& bytes, std::string& strError)
{
    const std::string strPart = strPath + ".part";
    {
        std::ofstream file(strPart, std::ios::binary | std::ios::trunc);
        if (!file) {
            strError = strPath + ": the file cannot be created";
            return false;
        }
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            std::remove(strPart.c_str());
            strError = strPath + ": the file could not be written whole";
            return false;
        }
    }
    if (!ReplaceFile(strPart, strPath)) {
        std::remove(strPart.c_str());
        strError = strPath + ": the file cannot be replaced";
        return false;
    }
    return true;
}

}  // namespace plovik
