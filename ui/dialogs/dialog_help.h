// Context help of the program's dialogs: each dialog keeps a table of
// (control id, help topic) pairs from the resources and answers F1, the "?"
// button and a right click on a control through the help engine.
#pragma once

#include <windows.h>

#include "core/window_base.h"

// Keeps a copy of the help table `tableId` (an RCDATA resource of pairs of
// 32-bit numbers ended by 0, 0) with `dialog`; a missing table leaves the
// dialog without help.
void attachHelpTable(HWND dialog, int tableId);

// WM_HELP and WM_CONTEXTMENU of a dialog: hands the control and the table
// to the help engine with the program's `helpFile`. The result for the
// dialog procedure (0 when the message is none of the two, or there is no
// help).
INT_PTR showContextHelp(const char* helpFile, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Frees the dialog's copy of its table (at WM_NCDESTROY, or WM_DESTROY for a
// property page).
void releaseHelpTable(HWND dialog);

// What every dialog with a help table does alike, for the end of its
// procedure: WM_HELP and WM_CONTEXTMENU answered from the table, the table
// released at WM_NCDESTROY; FALSE (not handled) for any other message.
INT_PTR answerDialogHelp(const char* helpFile, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A dialog with a help table: every message its own handlers leave is
// answered as answerDialogHelp does.
class DialogWithHelp : public DialogBase {
protected:
    explicit DialogWithHelp(const char* helpFile) : helpFile_(helpFile) {}

    const char* helpFile() const { return helpFile_; }
    INT_PTR onOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        return answerDialogHelp(helpFile_, window(), message, wParam, lParam);
    }

private:
    const char* helpFile_;
};
