// Loaded into the program under test by the end-to-end driver (see
// menu_probe.h); its one export runs on a thread the driver starts.
#include "menu_probe.h"

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
