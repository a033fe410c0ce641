// Placing the frame's children, and the frame's small states: progress,
// menu help in the status bar, the pane that had the focus.
#include "ui/frame/frame.h"

#include "settings/settings.h"
#include "resources/string_ids.h"
#include "ui/frame/list_pane.h"
#include "ui/frame/main_window.h"
#include "ui/dialogs/message_box.h"
#include "ui/frame/tree_pane.h"

namespace {

RECT makeRect(int left, int top, int width, int height) {
    RECT rect = {left, top, left + width, top + height};
    return rect;
}

// Panes are placed without copying their old pixels: Wine moves one window
// of the batch after the other, so a pane could copy the area its neighbour
// has just been laid over, and the copied part is never painted again.
void deferPlacement(HDWP& batch, HWND window, const RECT& rect) {
    if (!batch)
        return;
    batch = DeferWindowPos(batch, window, nullptr, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

}  // namespace

FrameGeometry computeFrameGeometry(const FrameGeometryInput& input) {
    FrameGeometry geometry = {};
    const RECT& area = input.paneArea;
    int s = input.splitterPos;
    if (s < 0 || s >= input.screenWidth)
        s = area.right / 3;
    geometry.splitterPos = s;
    int g = input.splitterWidth;
    int rightWidth = area.right - s - g;
    int top = area.top;
    int height = area.bottom - area.top;
    geometry.splitter = makeRect(s, area.top, g, height);
    if (input.descriptionBars) {
        int barHeight = input.lineHeight + input.lineHeight / 2;
        geometry.leftBar = makeRect(area.left, top, s, barHeight);
        geometry.rightBar = makeRect(s + g, top, rightWidth, barHeight);
        top += barHeight + 1;
    }
    geometry.tree = makeRect(area.left, top, s, area.bottom - top);
    geometry.list = makeRect(s + g, top, rightWidth, area.bottom - top);
    return geometry;
}

RECT Frame::paneArea() const {
    RECT area;
    GetClientRect(window_, &area);
    RECT bar;
    if (IsWindowVisible(toolbar_) && GetWindowRect(toolbar_, &bar)) {
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bar), 2);
        area.top = bar.bottom;
    }
    if (IsWindowVisible(statusBar_) && GetWindowRect(statusBar_, &bar)) {
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bar), 2);
        area.bottom = bar.top;
    }
    return area;
}

void Frame::layout() {
    // The window gets its first WM_SIZE while it is being created, before
    // its children exist; creation lays them out once it has made them.
    if (!complete_)
        return;
    Settings& settings = main_.settings();
    uint32_t options = settings.optionFlags;
    bool bars = (options & OPTION_DESCRIPTION_BARS) != 0;
    ShowWindow(toolbar_, options & OPTION_TOOLBAR ? SW_SHOW : SW_HIDE);
    ShowWindow(statusBar_, options & OPTION_STATUS_BAR ? SW_SHOW : SW_HIDE);
    ShowWindow(leftBar_, bars ? SW_SHOW : SW_HIDE);
    ShowWindow(rightBar_, bars ? SW_SHOW : SW_HIDE);
    SendMessageA(toolbar_, WM_SIZE, 0, 0);
    SendMessageA(statusBar_, WM_SIZE, 0, 0);
    placeProgressBar();

    FrameGeometryInput input = {paneArea(),  settings.splitterPos, GetSystemMetrics(SM_CXSCREEN),
                                GetSystemMetrics(SM_CXFRAME), lineHeight_, bars};
    FrameGeometry geometry = computeFrameGeometry(input);
    settings.splitterPos = geometry.splitterPos;
    splitterRect_ = geometry.splitter;

    HDWP batch = BeginDeferWindowPos(4);
    if (bars) {
        deferPlacement(batch, leftBar_, geometry.leftBar);
        deferPlacement(batch, rightBar_, geometry.rightBar);
    }
    deferPlacement(batch, main_.tree().window(), geometry.tree);
    deferPlacement(batch, main_.list().window(), geometry.list);
    if (batch)
        EndDeferWindowPos(batch);
}

void Frame::placeProgressBar() {
    RECT part;
    if (!SendMessageA(statusBar_, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part)))
        return;
    InflateRect(&part, -2, -2);
    int width = part.right - part.left;
    SetWindowPos(progress_, nullptr, part.left, part.top, width < 0 ? 0 : width, part.bottom - part.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Frame::setContentCaption(const char* folderName) {
    // The format cuts the name at 120 characters, so 140 bytes always hold it.
    char caption[140] = "";
    if (folderName)
        wsprintfA(caption, preloadedString(STR_CONTENT_OF), folderName);
    SetWindowTextA(rightBar_, caption);
}

void Frame::measureStatusFont() {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(statusBar_, WM_GETFONT, 0, 0));
    {
        WindowDC screen(nullptr);
        SelectedObject selected(screen.get(), font);
        TEXTMETRICA metrics;
        if (screen && GetTextMetricsA(screen.get(), &metrics))
            lineHeight_ = metrics.tmHeight + metrics.tmExternalLeading;
    }
    SendMessageA(leftBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageA(rightBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Frame::forwardToChildren(UINT message, WPARAM wParam, LPARAM lParam) {
    for (HWND child = GetTopWindow(window_); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageA(child, message, wParam, lParam);
}

void Frame::beginProgress(int steps) {
    stopProgressTimer();
    pendingSteps_ = 0;
    // The first step shows at once.
    lastProgressMove_ = GetTickCount() - kProgressInterval;
    progressActive_ = true;
    SendMessageA(progress_, PBM_SETPOS, 0, 0);
    // A content search counts documents, which can pass the 16-bit range of
    // PBM_SETRANGE; the bar would then sit full long before the end.
    SendMessageA(progress_, PBM_SETRANGE32, 0, steps < 0 ? 0 : steps);
    SendMessageA(progress_, PBM_SETSTEP, 1, 0);
    placeProgressBar();
    if (!menuHelpShowing_)
        ShowWindow(progress_, SW_SHOW);
}

void Frame::stepProgress() {
    // The bar paints itself at once whenever it moves, which costs more
    // than a step of loading: it moves at most every kProgressInterval, and
    // a step arriving in between is shown with the next move or by a timer.
    ++pendingSteps_;
    if (GetTickCount() - lastProgressMove_ >= kProgressInterval)
        moveProgress();
    else if (!progressTimer_)
        progressTimer_ = SetTimer(window_, kProgressTimerId, kProgressInterval, nullptr) != 0;
}

void Frame::onTimer(UINT_PTR id) {
    if (id == kProgressTimerId)
        moveProgress();
}

void Frame::moveProgress() {
    stopProgressTimer();
    if (pendingSteps_ == 1)
        SendMessageA(progress_, PBM_STEPIT, 0, 0);
    else if (pendingSteps_ > 1)
        SendMessageA(progress_, PBM_DELTAPOS, pendingSteps_, 0);
    pendingSteps_ = 0;
    lastProgressMove_ = GetTickCount();
}

void Frame::stopProgressTimer() {
    if (progressTimer_)
        KillTimer(window_, kProgressTimerId);
    progressTimer_ = false;
}

void Frame::endProgress() {
    stopProgressTimer();
    pendingSteps_ = 0;
    progressActive_ = false;
    ShowWindow(progress_, SW_HIDE);
}

void Frame::showMenuHelp(const char* text) {
    SendMessageA(statusBar_, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
    menuHelpShowing_ = true;
    if (progressActive_)
        ShowWindow(progress_, SW_HIDE);
    SendMessageA(statusBar_, SB_SIMPLE, TRUE, 0);
}

void Frame::hideMenuHelp() {
    SendMessageA(statusBar_, SB_SIMPLE, FALSE, 0);
    menuHelpShowing_ = false;
    if (progressActive_)
        ShowWindow(progress_, SW_SHOW);
}

void Frame::onActivate(bool active) {
    if (active)
        passFocus();
    else
        treeHadFocus_ = GetFocus() == main_.tree().window();
}

void Frame::passFocus() {
    SetFocus(treeHadFocus_ ? main_.tree().window() : main_.list().window());
}
