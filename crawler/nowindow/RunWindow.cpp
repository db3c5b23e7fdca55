#include "RunWindow.h"

#include "HeadlessArgs.h"

#include <iostream>

namespace plovik {

int RunWindow(int, char**)
{
    std::cerr << kNoDisplayMessage;
    return EXIT_USAGE;
}

}  // namespace plovik
