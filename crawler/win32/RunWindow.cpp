namespace plovik { int RunWindow(int, char**) { return 0; } }
