#include "StandardStreams.h"

#include <windows.h>

#include <cstdio>
#include <iostream>

namespace plovik {

namespace {

bool HasHandle(DWORD nStd)
{
    const HANDLE h = GetStdHandle(nStd);
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void ConnectStandardStreams()
{
    const bool bOut = HasHandle(STD_OUTPUT_HANDLE);
    const bool bErr = HasHandle(STD_ERROR_HANDLE);
    if (bOut && bErr)
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!bOut)
        std::freopen("CONOUT$", "w", stdout);
    if (!bErr)
        std::freopen("CONOUT$", "w", stderr);
    std::cout.clear();
    std::cerr.clear();
}

}  // namespace plovik
