// Loaded into the program under test by the end-to-end driver (see
// menu_probe.h): readMenuStates runs on a thread the driver starts,
// watchMessages is the message hook of the program's main thread.
#include "menu_probe.h"

extern "C" {
__declspec(dllexport) ProgramNotes programNotes = {};
}

extern "C" __declspec(dllexport) DWORD WINAPI readMenuStates(void* parameter) {
    MenuProbeRequest* request = static_cast<MenuProbeRequest*>(parameter);
    HMENU menu = request->menu ? request->menu : GetMenu(request->window);
    if (!menu || request->count < 0 || request->count > 64)
        return 0;
    for (int32_t i = 0; i < request->count; ++i)
        request->states[i] = GetMenuState(menu, static_cast<UINT>(request->ids[i]), MF_BYCOMMAND);
    request->defaultItem = static_cast<int32_t>(GetMenuDefaultItem(menu, FALSE, 0));
    return 1;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK watchMessages(int code, WPARAM removal, LPARAM data) {
    if (code == HC_ACTION && removal == PM_REMOVE) {
        // The hook runs on the main thread, so the clock's timer is that
        // thread's, as the tips' timers are, with their period of a fifth of
        // the double-click time. Without a window or a procedure its ticks
        // reach nothing in the program.
        if (!programNotes.clockTimer)
            programNotes.clockTimer = SetTimer(nullptr, 0, GetDoubleClickTime() / 5, nullptr);
        const MSG* message = reinterpret_cast<const MSG*>(data);
        if (message->message == WM_TIMER && !message->hwnd && message->wParam == programNotes.clockTimer) {
            ++programNotes.clockTicks;
        } else if (message->message == WM_MOUSEMOVE) {
            programNotes.lastMouse = message->pt;
            ++programNotes.mouseMoves;
        }
    }
    return CallNextHookEx(nullptr, code, removal, data);
}
