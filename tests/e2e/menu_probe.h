// The states of menu items inside the program under test. Wine keeps menus
// per process, so GetMenuState on another process's menu fails: a small
// library loaded into the program reads them there, on a thread the driver
// starts for the purpose.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// The request as it lies in the program's memory; the library fills in the
// states.
struct MenuProbeRequest {
    HWND window;  // whose menu bar is read when `menu` is null
    HMENU menu;
    int32_t count;
    int32_t ids[64];
    uint32_t states[64];  // GetMenuState by command, 0xFFFFFFFF for no such item
    int32_t defaultItem;  // GetMenuDefaultItem by command, -1 for none
};

class MenuProbe {
public:
    MenuProbe(HANDLE process, DWORD processId) : process_(process), processId_(processId) {}
    MenuProbe(const MenuProbe&) = delete;
    MenuProbe& operator=(const MenuProbe&) = delete;

    // Reads the states of `ids` in `menu` (null: the menu bar of `window`);
    // false when the library could not be loaded or did not answer.
    bool read(HWND window, HMENU menu, const std::vector<int>& ids, MenuProbeRequest& out);

private:
    bool load();

    HANDLE process_;
    DWORD processId_;
    uintptr_t remoteModule_ = 0;
    uintptr_t procedureOffset_ = 0;
};
