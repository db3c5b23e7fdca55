#include "StandardStreams.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>

namespace plovik {

namespace {

bool HasHandle(DWORD nStd)
{
    const HANDLE h = GetStdHandle(nStd);
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

// The bytes the Linux program writes: lines end with "\n" alone.
void UseBinaryMode()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace

void ConnectStandardStreams()
{
    const bool bOut = HasHandle(STD_OUTPUT_HANDLE);
    const bool bErr = HasHandle(STD_ERROR_HANDLE);
    if (!(bOut && bErr) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (!bOut)
            std::freopen("CONOUT$", "w", stdout);
        if (!bErr)
            std::freopen("CONOUT$", "w", stderr);
        std::cout.clear();
        std::cerr.clear();
    }
    UseBinaryMode();
}

}  // namespace plovik
