#include "listtips/tip_window.h"

#include <memory>
#include <new>

#include "core/win_handles.h"
#include "core/window_base.h"
#include "listtips/tip_geometry.h"
#include "listtips/tip_machine.h"

const char kTipWindowClass[] = "QL_ViewTip";

namespace {

const UINT_PTR kTickTimer = 1;

HFONT viewFont(HWND view) {
    return reinterpret_cast<HFONT>(SendMessageA(view, WM_GETFONT, 0, 0));
}

// The window side of one tip: the machine decides, this class paints, places
// and times. The window owns it once made, and deletes it at its end.
class TipWindow final : public TipHost, public WindowBase {
public:
    explicit TipWindow(HWND view) : view_(view), machine_(*this) {}

    // Makes the hidden window, owned by `owner`; false when it cannot be
    // made, and the object is then still the caller's.
    bool create(HWND owner);

    void showTip(const TipRect& textRect, const char* text) override;
    void hideTip() override { ShowWindow(window(), SW_HIDE); }
    bool startTimer() override { return SetTimer(window(), kTickTimer, GetDoubleClickTime() / 5, nullptr) != 0; }
    void stopTimer() override { KillTimer(window(), kTickTimer); }
    TipPoint cursor() override;
    TipRect viewClientRect() override;
    bool cursorRestsOnView() override;

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onFinalMessage() override {
        if (ownedByWindow_)
            delete this;
    }
    void paint();

    HWND view_;
    TipMachine machine_;
    bool ownedByWindow_ = false;
};

bool TipWindow::create(HWND owner) {
    if (!createWindow(GetModuleHandleA(nullptr), kTipWindowClass, WS_POPUP | WS_CLIPSIBLINGS, WS_EX_TOOLWINDOW, owner,
                      0, 0, 0, 0))
        return false;
    ownedByWindow_ = true;
    return true;
}

LRESULT TipWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIP_ENABLE) {
        machine_.setEnabled(wParam != 0);
        return 0;
    }
    if (!machine_.enabled())
        return defaultHandling(message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 0;
    case WM_CANCELMODE:
        machine_.cancelMode();
        break;
    case WM_NCHITTEST:
        // The mouse goes through to the view below, which keeps its clicks
        // and keeps telling the tip where the mouse is.
        return HTTRANSPARENT;
    case WM_TIMER:
        if (wParam != kTickTimer)
            break;
        machine_.tick();
        return 0;
    case WM_TIP_CANDIDATE:
        return machine_.newCandidate(reinterpret_cast<const TipCandidate*>(lParam)) ? 1 : 0;
    case WM_TIP_MOUSE:
        if (const TipMouseRecord* record = reinterpret_cast<const TipMouseRecord*>(lParam))
            machine_.mouseSeen(record->message, record->wParam, record->lParam);
        return 0;
    default:
        break;
    }
    return defaultHandling(message, wParam, lParam);
}

void TipWindow::showTip(const TipRect& textRect, const char* text) {
    int length = lstrlenA(text);
    SIZE extent = {};
    {
        WindowDC dc(window());
        if (!dc)
            return;
        SelectedObject font(dc.get(), viewFont(view_));
        GetTextExtentPoint32A(dc.get(), text, length, &extent);
    }
    POINT origin = {0, 0};
    ClientToScreen(view_, &origin);
    TipPlacement place = placeTip(textRect, extent.cx, extent.cy, {origin.x, origin.y}, GetSystemMetrics(SM_CXSCREEN));
    // The shown text is also the window's text, for screen readers and
    // for whoever looks at the window from outside.
    SetWindowTextA(window(), text);
    // Right above its owner, the window that holds the view: Wine hands a
    // click on the tip, which lets the mouse through, to the window below
    // only when that is the tip's owner.
    HWND insertAfter = HWND_TOP;
    UINT flags = SWP_NOACTIVATE;
    if (HWND owner = GetWindow(window(), GW_OWNER)) {
        HWND above = GetWindow(owner, GW_HWNDPREV);
        if (above == window())
            flags |= SWP_NOZORDER;
        else if (above)
            insertAfter = above;
    }
    SetWindowPos(window(), insertAfter, place.x, place.y, place.width, place.height, flags);
    ShowWindow(window(), SW_SHOWNOACTIVATE);
    UpdateWindow(window());
}

TipPoint TipWindow::cursor() {
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(view_, &point);
    return {point.x, point.y};
}

TipRect TipWindow::viewClientRect() {
    RECT client = {};
    GetClientRect(view_, &client);
    return {client.left, client.top, client.right, client.bottom};
}

bool TipWindow::cursorRestsOnView() {
    POINT point = {};
    if (!GetCursorPos(&point) || WindowFromPoint(point) != view_ || !programIsActive(view_))
        return false;
    return SendMessageA(view_, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)) == HTCLIENT;
}

void TipWindow::paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window(), &paint);
    if (!dc)
        return;
    RECT client;
    GetClientRect(window(), &client);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
    DrawEdge(dc, &client, BDR_RAISEDOUTER, BF_RECT);
    {
        SelectedObject font(dc, viewFont(view_));
        SetBkMode(dc, TRANSPARENT);
        const char* text = machine_.text();
        ExtTextOutA(dc, 2, 2, ETO_CLIPPED, &client, text, static_cast<UINT>(lstrlenA(text)), nullptr);
    }
    EndPaint(window(), &paint);
}

}  // namespace

bool registerTipWindowClass() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    if (GetClassInfoA(instance, kTipWindowClass, &windowClass))
        return true;
    // The tip saves the screen below it and erases nothing, so that showing
    // and hiding it does not make the view paint again.
    windowClass.style = CS_SAVEBITS;
    windowClass.lpfnWndProc = WindowBase::windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kTipWindowClass;
    return RegisterClassA(&windowClass) != 0;
}

HWND createTipWindow(HWND view) {
    // Owned by the view's top-level window, so that it stays above it and
    // clicks on it reach the view (see showTip).
    HWND owner = view;
    while (owner && (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD))
        owner = GetParent(owner);
    std::unique_ptr<TipWindow> tip(new (std::nothrow) TipWindow(view));
    if (!tip || !tip->create(owner))
        return nullptr;
    return tip.release()->window();
}

bool programIsActive(HWND view) {
    HWND active = GetActiveWindow();
    return active && IsChild(active, view);
}
