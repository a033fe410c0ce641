// The one place where a window or a dialog finds its object: a static
// procedure binds `this` to the window when the window is made and takes it
// off when the window ends, and hands every message between to the object.
#pragma once

#include <windows.h>

// A window of a class the program registers. The object is bound from
// WM_NCCREATE, before any of its handlers runs, to WM_NCDESTROY, after the
// last one; the window's GWLP_USERDATA slot holds it.
class WindowBase {
public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    // The window while it exists, else null.
    HWND window() const { return window_; }

    // The procedure of every class whose windows are made by createWindow.
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    WindowBase() = default;
    virtual ~WindowBase() = default;

    // Makes a window of `windowClass`, without a title, bound to this object;
    // null when it could not be made.
    HWND createWindow(HINSTANCE instance, const char* windowClass, DWORD style, DWORD exStyle, HWND parent, int x,
                      int y, int width, int height);

    // Every message of the window while the object is bound.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // The window has ended and no longer knows the object: the last moment
    // the object is needed, for one the window owns to delete itself.
    virtual void onFinalMessage() {}

    // The system's own handling of a message.
    LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
    // The window goes on to its end without the object: every later message
    // has the system's handling, and window() is null.
    void detachFromWindow();

private:
    HWND window_ = nullptr;
};

// A dialog from the program's resources, a property sheet page or the
// template of a common file dialog. The object is bound at WM_INITDIALOG,
// before onInitDialog runs, until WM_NCDESTROY, after the last handler; the
// dialog's DWLP_USER slot holds it. The handlers answer as a dialog
// procedure does: true (TRUE) when they handled the message.
class DialogBase {
public:
    DialogBase() = default;
    virtual ~DialogBase() = default;
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    // The dialog while it exists, else null.
    HWND window() const { return window_; }

    // Runs the modal dialog `templateId` of the program's resources; the
    // value given to endDialog, or 0 or -1 when the dialog could not be
    // shown.
    INT_PTR runModal(HWND owner, int templateId);
    // Makes the modeless dialog `templateId`; null when it could not be made.
    HWND createModeless(HWND owner, int templateId);

    // The procedures for dialogs the platform makes from a structure that
    // carries the object: PROPSHEETPAGEA's lParam for a property sheet page,
    // OPENFILENAMEA's lCustData for the hook of a file dialog.
    static INT_PTR CALLBACK pageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
    static UINT_PTR CALLBACK fileDialogHookProc(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // What pageProc and fileDialogHookProc expect in the structure's lParam
    // or lCustData.
    LPARAM bindingData() { return reinterpret_cast<LPARAM>(this); }

    // True to let the dialog manager give the focus to the first control;
    // false when the handler has set the focus itself.
    virtual bool onInitDialog() { return true; }
    // Routes OK and Cancel to onOk and onCancel; any other command is not
    // handled.
    virtual bool onCommand(int id, int code);
    virtual INT_PTR onNotify(const NMHDR&) { return FALSE; }
    // A modal dialog ends with IDOK or IDCANCEL.
    virtual void onOk() { endDialog(IDOK); }
    virtual void onCancel() { endDialog(IDCANCEL); }
    // Every message the handlers above do not take (help, destruction).
    virtual INT_PTR onOtherMessage(UINT, WPARAM, LPARAM) { return FALSE; }

    void endDialog(INT_PTR result);
    // The answer to a notification whose result the dialog manager reads
    // from DWLP_MSGRESULT rather than from the procedure's return value.
    void setMessageResult(LONG_PTR result);

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    // Binds `initial` at WM_INITDIALOG and hands the message on.
    static INT_PTR route(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, DialogBase* initial);
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};
