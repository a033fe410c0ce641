// "Inf&o": the program's about box.
#pragma once

#include <windows.h>

// Shows the modal about box with the program's icon, name and version.
void showAboutBox(HWND owner);
