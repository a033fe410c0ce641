// Driving the program's dialogs, keys and focus from a test: opening a dialog
// by its command, filling its controls, pressing its buttons, answering
// message boxes, and waiting for the program's thread to be done with them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app_driver.h"
#include "menu_commands.h"

// Waits until no run is in flight, posts the command (a dialog's command
// would block a sent one) and waits for the program's dialog with
// `caption`; null when none came.
HWND openDialog(const AppDriver& app, int command, const std::string& caption, DWORD timeoutMs = 20000);
// The program's dialog with `caption` when it comes within `timeoutMs`.
HWND waitForDialog(const AppDriver& app, const std::string& caption, DWORD timeoutMs);

// The text of an edit field, or of a combo box's edit field. Set as typing
// would change it: the dialog hears of the change.
void setFieldText(HWND dialog, int id, const std::string& text);
std::string fieldText(HWND dialog, int id);
void setChecked(HWND dialog, int id, bool checked);
bool isChecked(HWND dialog, int id);
bool isEnabled(HWND dialog, int id);

// Presses "OK" (or the default button of that id) and waits until the dialog
// has closed and the program has done what it does then; false when the
// dialog stayed open.
bool confirmDialog(const AppDriver& app, HWND dialog);

// Returns when the program's thread has handled everything sent before.
void settle(const AppDriver& app);

// The text of the message box the program shows within `timeoutMs`, which is
// then closed with its first button; "" when none came. A message box is
// told from a dialog by its caption, the program's name.
std::string takeMessageBox(const AppDriver& app, DWORD timeoutMs = 15000);

// The program's window with the keyboard focus.
HWND focusedWindow(const AppDriver& app);
// Gives the focus to the list (true) or the tree, as the pane switch key does.
void focusPane(const AppDriver& app, bool list);
// A key pressed in the window with the focus, through the program's
// accelerators.
void pressKey(const AppDriver& app, UINT key);

// The list's selected and focused rows.
std::vector<int> selectedRows(const AppDriver& app);
int focusedRow(const AppDriver& app);

// Whether a loading or search run shows its progress.
bool runShowing(const AppDriver& app);

// "Suchen": confirms the dialog with `text` and the three option boxes.
bool findText(const AppDriver& app, const std::string& text, bool hosts, bool urls, bool titles);

// The scopes of "Inhalte suchen", by their radio buttons.
enum SearchScope { SCOPE_CACHE = 102, SCOPE_FOLDER = 103, SCOPE_SELECTION = 104 };
// Confirms the content search dialog with `text` and `scope`; the run then
// starts. False when the dialog did not come.
bool startContentSearch(const AppDriver& app, const std::string& text, SearchScope scope);

// A text value of the program's registry key, or "<none>".
std::string programValue(const char* name);
void setProgramValue(const char* name, const std::string& value);

// Selects the folder labelled `label` under the root labelled `root`.
bool selectFolderUnder(const AppDriver& app, const std::string& root, const std::string& label);
// Whether the tree shows a root labelled `root`.
bool hasRoot(const AppDriver& app, const std::string& root);
// The titles of all documents the list shows, in its order.
std::vector<std::string> listTitles(const AppDriver& app);
