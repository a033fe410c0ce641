// The one way the program opens a context menu: at the mouse for a right
// click, at a pane's corner for the keyboard (Shift+F10, the menu key).
#pragma once

#include <windows.h>

// Where the message being handled found the mouse, in screen coordinates.
POINT menuPointAtCursor();

// The top-left corner of `pane`, in screen coordinates.
POINT menuPointAtPane(HWND pane);

// Shows `menu` at `at` for `owner`. The command chosen arrives at `owner`
// as WM_COMMAND; with `returnCommand` it is returned instead (0 for none)
// and not sent, so that the caller can apply it to what was clicked.
int showContextMenu(HMENU menu, POINT at, HWND owner, bool returnCommand = false);
