#include "ui/commands/context_menu.h"

POINT menuPointAtCursor() {
    DWORD position = GetMessagePos();
    return POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
}

POINT menuPointAtPane(HWND pane) {
    POINT origin = {0, 0};
    ClientToScreen(pane, &origin);
    return origin;
}

int showContextMenu(HMENU menu, POINT at, HWND owner, bool returnCommand) {
    UINT flags = TPM_RIGHTBUTTON | (returnCommand ? TPM_RETURNCMD | TPM_NONOTIFY : 0);
    return TrackPopupMenu(menu, flags, at.x, at.y, 0, owner, nullptr);
}
