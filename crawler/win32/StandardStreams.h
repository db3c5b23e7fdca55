#pragma once
// plovik.exe is a window program: Windows gives it no console. Started with its
// output redirected it inherits the files; started from a console without
// redirection it writes into that console.

namespace plovik {

// Before anything is written: any standard stream that has no handle of its own
// goes to the console of the process that started this one, if there is one. No
// console of its own is ever opened.
void ConnectStandardStreams();

}  // namespace plovik
