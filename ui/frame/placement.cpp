#include "ui/frame/placement.h"

#include <commctrl.h>

bool placementRestorable(const StoredPlacement& stored, int screenWidth, int screenHeight) {
    if (stored.left == kPlacementUnset || stored.width == kPlacementUnset)
        return false;
    if (stored.width > screenWidth || stored.height > screenHeight)
        return false;
    // The stored values come from the registry; a sum must not wrap.
    int64_t right = static_cast<int64_t>(stored.left) + stored.width;
    int64_t bottom = static_cast<int64_t>(stored.top) + stored.height;
    return stored.width > 0 && stored.height > 0 && right > 0 && stored.left < screenWidth && bottom > 0 &&
           stored.top < screenHeight;
}

StoredPlacement placementFromNormalRect(const RECT& normal, POINT workAreaOrigin) {
    StoredPlacement stored;
    stored.left = normal.left + workAreaOrigin.x;
    stored.top = normal.top + workAreaOrigin.y;
    stored.width = normal.right - normal.left;
    stored.height = normal.bottom - normal.top;
    return stored;
}

int startupShowCommand(const STARTUPINFOA& startup, bool maximized) {
    // Without STARTF_USESHOWWINDOW the show field is not set at all (a
    // program started by another with a zeroed STARTUPINFO): show normally
    // rather than take its 0 for SW_HIDE.
    int command = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
    if (command == SW_SHOWNORMAL && maximized)
        command = SW_SHOWMAXIMIZED;
    return command;
}

void restorePlacement(HWND window, const Settings& settings) {
    StoredPlacement stored = {settings.windowLeft, settings.windowTop, settings.windowWidth, settings.windowHeight};
    if (placementRestorable(stored, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)))
        SetWindowPos(window, nullptr, stored.left, stored.top, stored.width, stored.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    ShowWindow(window, startupShowCommand(startup, (settings.optionFlags & OPTION_MAXIMIZED) != 0));
    UpdateWindow(window);
}

void recordPlacement(HWND window, HWND list, Settings& settings) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window, &placement)) {
        RECT workArea = {};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
        POINT origin = {workArea.left, workArea.top};
        StoredPlacement stored = placementFromNormalRect(placement.rcNormalPosition, origin);
        settings.windowLeft = stored.left;
        settings.windowTop = stored.top;
        settings.windowWidth = stored.width;
        settings.windowHeight = stored.height;
        if (placement.showCmd == SW_SHOWMAXIMIZED)
            settings.optionFlags |= OPTION_MAXIMIZED;
        else
            settings.optionFlags &= ~static_cast<uint32_t>(OPTION_MAXIMIZED);
    }
    for (int column = 0; column < kColumnCount; ++column) {
        LVCOLUMNA request = {};
        request.mask = LVCF_WIDTH | LVCF_SUBITEM;
        if (SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&request)))
            settings.columnWidths[column] = request.cx;
    }
}
