#pragma once
// A build without a window (the 32-bit test build): `plovik` alone says there is
// no display to open one on, as the windowed builds do without a display.

namespace plovik {

int RunWindow(int argc, char** argv);

}  // namespace plovik
