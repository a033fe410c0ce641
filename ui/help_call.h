// Every call into the help engine goes through here, so that help comes
// only from the program's own tarn.hlp: a help file of that name in some
// other folder (one a save wrote to, say) could run its macros.
#pragma once

#include <windows.h>

// Calls WinHelp with the program's help file. When that file is missing
// beside the program the user is told so (in a box owned by the top window
// of `window`) and false comes back.
bool callHelp(HWND window, UINT command, ULONG_PTR data);

// Ends the help engine's use of the file, if it was ever found.
void quitHelp(HWND window);
