#pragma once
// The program with its window: what plovik.exe does when started without --crawl.

namespace plovik {

// Runs the main dialog until it closes; returns the process's exit status.
int RunWindow(int argc, char** argv);

}  // namespace plovik
