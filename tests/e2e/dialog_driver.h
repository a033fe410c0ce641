// Drives the program's dialogs from a test: finds them among its windows,
// sets texts, checks boxes and presses buttons, and sends the commands that
// open a modal dialog without waiting for it to close.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app_driver.h"
#include "waiting.h"

// Gives the keyboard focus to the document list, as the Tab key does: the
// commands on documents act on the pane that has the focus.
bool focusList(const AppDriver& app);

// Sends a command as a menu item would, without waiting for it: the
// commands that show a modal dialog return only when it is closed.
void postCommand(const AppDriver& app, int id);

// A visible top-level window of the program with `caption`; waits for it.
HWND findProgramWindow(const AppDriver& app, const std::string& caption, DWORD timeoutMs = 10000);
// A visible top-level window of the program, other than the main window,
// with a control `id` that shows `text` (for windows whose caption the
// platform forms); waits for it.
HWND findDialogShowing(const AppDriver& app, int id, const std::string& text, DWORD timeoutMs = 10000);
// The program's visible top-level windows, the front one first.
std::vector<HWND> programWindows(const AppDriver& app);

// The control `id` of `dialog`, else the first descendant with that id
// (the controls of a child dialog), or null.
HWND findControl(HWND dialog, int id);

std::string controlText(HWND window);
void setControlText(HWND control, const std::string& text);
bool isChecked(HWND button);
// Clicks a check box or radio button that is not in the state wanted, and
// waits until it is.
bool setChecked(HWND button, bool checked);
// Presses a button as a click does, without waiting for what it starts.
void click(HWND button);
// The window that has the keyboard focus in the thread of `window`.
HWND focusOf(HWND window);
// Presses a key on the keyboard, as the user would, into the focus of the
// program's foreground window.
void pressKey(HWND foreground, WORD key);

