// The main window's place on the screen, kept in the settings record from
// one run to the next.
#pragma once

#include <windows.h>

#include <cstdint>

#include "settings/settings.h"

struct StoredPlacement {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
};

// A stored rectangle is used only when it was set, fits the screen and shows
// at least a part of it; otherwise the system places the window.
bool placementRestorable(const StoredPlacement& stored, int screenWidth, int screenHeight);

// GetWindowPlacement gives the normal rectangle relative to the work area
// (the screen less the taskbar), while the record and SetWindowPos speak
// screen coordinates: convert, or the window creeps by the taskbar's size
// on every start when the taskbar is at the top or on the left.
StoredPlacement placementFromNormalRect(const RECT& normal, POINT workAreaOrigin);

// The start-up show command, maximized when the window was so at the end of
// the last run.
int startupShowCommand(const STARTUPINFOA& startup, bool maximized);

// Moves the window to the stored place, shows and updates it.
void restorePlacement(HWND window, const Settings& settings);
// Stores the window's normal rectangle, its maximized state and the list's
// column widths.
void recordPlacement(HWND window, HWND list, Settings& settings);
