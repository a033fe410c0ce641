// The vertical bar between tree and list: its cursor and its drag. The drag
// draws an inverted bar over the panes (hence WS_CLIPCHILDREN off meanwhile)
// and runs its own message loop until the button comes up.
#include "ui/frame/splitter.h"

#include <algorithm>

#include "core/win_handles.h"
#include "resources/resource_ids.h"
#include "settings/settings.h"
#include "ui/frame/frame.h"
#include "ui/frame/main_window.h"

namespace {

// An 8 by 8 checkerboard, the look of a bar being dragged. The bitmap is
// kept as long as the brush: older systems do not copy it into the brush.
struct HalftoneBrush {
    GdiObject bitmap;
    GdiObject brush;
};

void createHalftoneBrush(HalftoneBrush& halftone) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = 8;
    info.header.biHeight = 8;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.colours[0] = {255, 255, 255, 0};
    info.colours[1] = {0, 0, 0, 0};
    // Rows of a 1-bit DIB are padded to 4 bytes.
    DWORD rows[8];
    for (int row = 0; row < 8; ++row)
        rows[row] = row % 2 ? 0x55 : 0xAA;
    WindowDC screen(nullptr);
    halftone.bitmap.reset(CreateDIBitmap(screen.get(), &info.header, CBM_INIT, rows,
                                         reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS));
    if (halftone.bitmap)
        halftone.brush.reset(CreatePatternBrush(static_cast<HBITMAP>(halftone.bitmap.get())));
}

}  // namespace

DragLimits splitterDragLimits(const RECT& paneArea) {
    DragLimits limits = {paneArea.left + 32, paneArea.right - 32};
    if (limits.high < limits.low)
        limits.high = limits.low;
    return limits;
}

int clampToLimits(int x, const DragLimits& limits) {
    return std::min(std::max(x, limits.low), limits.high);
}

BarMove barMove(int oldX, int newX, int halfWidth, int barWidth) {
    int lo = std::min(oldX, newX) - halfWidth;
    int hi = std::max(oldX, newX) - halfWidth;
    BarMove move = {lo, hi - lo + barWidth, 0, 0};
    if (lo + barWidth > hi) {
        move.excludeLeft = hi;
        move.excludeRight = lo + barWidth;
    } else {
        move.excludeLeft = lo + barWidth;
        move.excludeRight = hi;
    }
    return move;
}

bool Frame::onSetCursor(HWND target, int hitTest) {
    if (target != window_ || hitTest != HTCLIENT)
        return false;
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(window_, &cursor);
    if (!PtInRect(&splitterRect_, cursor))
        return false;
    SetCursor(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(CURSOR_SPLITTER)));
    return true;
}

void Frame::onLeftButtonDown(POINT point) {
    if (IsIconic(window_) || !PtInRect(&splitterRect_, point))
        return;
    int x = dragSplitter(point);
    Settings& settings = main_.settings();
    if (x >= 0 && x != settings.splitterPos) {
        settings.splitterPos = x;
        SendMessageA(window_, WM_SIZE, 0, 0);
    }
}

int Frame::dragSplitter(POINT start) {
    RECT area = paneArea();
    DragLimits limits = splitterDragLimits(area);
    int bandTop = area.top;
    int bandHeight = area.bottom - area.top;
    int barWidth = GetSystemMetrics(SM_CXFRAME);
    int halfWidth = barWidth / 2;

    LONG style = GetWindowLongA(window_, GWL_STYLE);
    SetWindowLongA(window_, GWL_STYLE, style & ~WS_CLIPCHILDREN);
    int x = start.x;
    bool accepted = false;
    {
        WindowDC window(window_);
        HDC dc = window.get();
        HalftoneBrush halftone;
        createHalftoneBrush(halftone);
        SelectedObject brush(dc, halftone.brush.get());

        PatBlt(dc, x - halfWidth, bandTop, barWidth, bandHeight, PATINVERT);
        SetCapture(window_);
        MSG message = {};
        while (GetCapture() == window_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (message.message == WM_LBUTTONUP) {
                accepted = true;
                break;
            }
            if (message.message == WM_RBUTTONDOWN)
                break;
            if (message.message < WM_MOUSEFIRST || message.message > WM_MOUSELAST) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
                continue;
            }
            if (message.message != WM_MOUSEMOVE)
                continue;
            POINT point = message.pt;
            ScreenToClient(window_, &point);
            int newX = clampToLimits(point.x, limits);
            if (newX == x)
                continue;
            BarMove move = barMove(x, newX, halfWidth, barWidth);
            ExcludeClipRect(dc, move.excludeLeft, bandTop, move.excludeRight, bandTop + bandHeight);
            PatBlt(dc, move.left, bandTop, move.width, bandHeight, PATINVERT);
            SelectClipRgn(dc, nullptr);
            x = newX;
        }
        if (message.message == WM_QUIT)
            PostQuitMessage(static_cast<int>(message.wParam));
        ReleaseCapture();
        PatBlt(dc, x - halfWidth, bandTop, barWidth, bandHeight, PATINVERT);
    }
    SetWindowLongA(window_, GWL_STYLE, GetWindowLongA(window_, GWL_STYLE) | WS_CLIPCHILDREN);
    return accepted ? x : -1;
}
