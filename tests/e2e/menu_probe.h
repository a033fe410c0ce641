// A small library of the tests loaded into the program under test. It reads
// the states of menu items there (Wine keeps menus per process, so
// GetMenuState on another process's menu fails), on a thread the driver
// starts for the purpose; and its message hook notes what the program's main
// thread takes from its queue, for the tests that must know the program has
// seen the mouse where they put it.
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

// What the hook notes, in the library's memory inside the program.
struct ProgramNotes {
    // A clock of the program's own: the ticks of a timer of its main thread
    // at the pace of the list tips' timer, which like theirs tick only while
    // the thread takes its messages. The timer is set at the hook's first
    // message.
    UINT_PTR clockTimer;
    LONG clockTicks;
    // The mouse moves the thread has taken from its queue, modal loops
    // included, and the screen point of the last one.
    LONG mouseMoves;
    POINT lastMouse;
};

class ProbeLibrary {
public:
    ProbeLibrary(HANDLE process, DWORD processId) : process_(process), processId_(processId) {}
    ~ProbeLibrary();
    ProbeLibrary(const ProbeLibrary&) = delete;
    ProbeLibrary& operator=(const ProbeLibrary&) = delete;

    // Reads the states of `ids` in `menu` (null: the menu bar of `window`);
    // false when the library could not be loaded or did not answer.
    bool readMenu(HWND window, HMENU menu, const std::vector<int>& ids, MenuProbeRequest& out);

    // Sets the hook on the program's thread `threadId`; false when the
    // library could not be loaded or the hook not set. The notes start with
    // the next message the thread takes.
    bool watch(DWORD threadId);
    // The notes as they stand; false before watch() or when they cannot be
    // read.
    bool readNotes(ProgramNotes& out) const;

private:
    bool load();

    HANDLE process_;
    DWORD processId_;
    HMODULE local_ = nullptr;
    uintptr_t remoteModule_ = 0;
    HHOOK hook_ = nullptr;
};
