// The program's commands and where each one goes: menus, accelerators,
// toolbar buttons and context menus all arrive as a command id, which the
// table routes to the handler that acts the same whatever has the focus, or
// to the handler of the pane that has it.
#pragma once

#include <cstddef>

#include "ui/commands/command_states.h"

class DomainFolder;
class MainWindow;

struct CommandRoute {
    int id;
    // Acts whatever has the focus; false passes the command on to the panes
    // ("Nur Textdokumente" while "Alles anzeigen" is on).
    bool (*global)(MainWindow& main, int id);
    // Acts on the selected documents while the list has the focus.
    void (*list)(MainWindow& main, int id, const ObjectCommandStates& states);
    // Acts on a folder of the tree.
    void (*tree)(MainWindow& main, int id, DomainFolder& folder, const ObjectCommandStates& states);
};

// The route of `id`, or null for an id no command has.
const CommandRoute* findCommandRoute(int id);
