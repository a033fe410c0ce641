#include "core/window_base.h"

#include <commctrl.h>
#include <commdlg.h>

LRESULT CALLBACK WindowBase::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowBase* self;
    if (message == WM_NCCREATE) {
        self = static_cast<WindowBase*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = self->handleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->detachFromWindow();
        // Last: the object may be gone after it.
        self->onFinalMessage();
    }
    return result;
}

HWND WindowBase::createWindow(HINSTANCE instance, const char* windowClass, DWORD style, DWORD exStyle, HWND parent,
                              int x, int y, int width, int height) {
    return CreateWindowExA(exStyle, windowClass, nullptr, style, x, y, width, height, parent, nullptr, instance, this);
}

LRESULT WindowBase::defaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window_, message, wParam, lParam);
}

void WindowBase::detachFromWindow() {
    if (!window_)
        return;
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
}

INT_PTR DialogBase::runModal(HWND owner, int templateId) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner, dialogProc,
                           reinterpret_cast<LPARAM>(this));
}

HWND DialogBase::createModeless(HWND owner, int templateId) {
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner, dialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogBase::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogBase* initial = message == WM_INITDIALOG ? reinterpret_cast<DialogBase*>(lParam) : nullptr;
    return route(dialog, message, wParam, lParam, initial);
}

INT_PTR CALLBACK DialogBase::pageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogBase* initial = nullptr;
    if (message == WM_INITDIALOG)
        initial = reinterpret_cast<DialogBase*>(reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
    return route(page, message, wParam, lParam, initial);
}

UINT_PTR CALLBACK DialogBase::fileDialogHookProc(HWND hook, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogBase* initial = nullptr;
    if (message == WM_INITDIALOG)
        initial = reinterpret_cast<DialogBase*>(reinterpret_cast<const OPENFILENAMEA*>(lParam)->lCustData);
    return static_cast<UINT_PTR>(route(hook, message, wParam, lParam, initial));
}

INT_PTR DialogBase::route(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, DialogBase* initial) {
    DialogBase* self;
    if (message == WM_INITDIALOG) {
        self = initial;
        if (self) {
            self->window_ = dialog;
            SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<DialogBase*>(GetWindowLongPtrA(dialog, DWLP_USER));
    }
    // The messages before WM_INITDIALOG (the font, the frame) find no
    // object yet.
    if (!self)
        return FALSE;
    INT_PTR result = self->handleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    return result;
}

INT_PTR DialogBase::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
        return onCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY:
        return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
    default:
        return onOtherMessage(message, wParam, lParam);
    }
}

bool DialogBase::onCommand(int id, int) {
    switch (id) {
    case IDOK:
        onOk();
        return true;
    case IDCANCEL:
        onCancel();
        return true;
    default:
        return false;
    }
}

void DialogBase::endDialog(INT_PTR result) {
    EndDialog(window_, result);
}

void DialogBase::setMessageResult(LONG_PTR result) {
    SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
}
