#pragma once
// The program with its window: what `plovik` does when started without --crawl.

namespace plovik {

// Runs the application and its main window until the window closes; returns the
// process's exit status.
int RunWindow(int argc, char** argv);

// Registers the window's pictures (splash, icon). RunWindow does it; tests and tools
// that build windows themselves call it once.
void InitUiResources();

}  // namespace plovik
