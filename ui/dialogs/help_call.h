// Every call into the help engine goes through here, so that help comes
// only from the program's own tarn.hlp: a help file of that name in some
// other folder (one a save wrote to, say) could run its macros. The path is
// the one found at start (ProgramState::helpFilePath), "" when there was
// none.
#pragma once

#include <windows.h>

// The path of "tarn.hlp" beside the executable; false, with "" in `path`,
// when it is not there. Never the bare name: the help engine would search
// the current folder for it.
bool findProgramHelpFile(char (&path)[MAX_PATH]);

// Calls WinHelp with the program's help file. When there is none the user
// is told so (in a box owned by the top window of `window`) and false comes
// back.
bool callHelp(const char* helpFile, HWND window, UINT command, ULONG_PTR data);

// Ends the help engine's use of the program's help file, if there is one.
void quitHelp(const char* helpFile, HWND window);
