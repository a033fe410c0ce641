// Where every command and notification of the main window arrives: menu
// items, accelerators, toolbar buttons, and the notifications of toolbar,
// tree and list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "ui/commands/command_states.h"

class MainWindow;

class CommandDispatch {
public:
    explicit CommandDispatch(MainWindow& main) : main_(main) {}
    CommandDispatch(const CommandDispatch&) = delete;
    CommandDispatch& operator=(const CommandDispatch&) = delete;

    // `node` is the tree node a context menu was opened on, else null.
    void dispatchCommand(int id, HTREEITEM node);
    LRESULT notifyDispatch(NMHDR* header);

    void updateMenuStates(HMENU menu, HTREEITEM node);
    void updateToolbarObjectStates();
    void updateToolbarViewStates();
    ObjectCommandStates currentObjectStates(HTREEITEM node) const;

    // Status bar help for a popup menu (its handle) or a command.
    void menuHelpOn(uintptr_t key, bool popup);
    void menuHelpOff();

private:
    void openTreeMenuAtCursor();
    void openListMenuAtCursor();
    LRESULT onToolTip(NMHDR* header);

    MainWindow& main_;
};
