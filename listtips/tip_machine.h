// The behaviour of one tip window, without the window: candidates and mouse
// messages from the view come in, timer ticks drive the delays, and the host
// is told when to show or hide the tip and when to run its timer.
#pragma once

#include <cstddef>
#include <cstdint>

struct TipPoint {
    int32_t x;
    int32_t y;
};

// A rectangle as Windows keeps it: right and bottom lie outside.
struct TipRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;

    bool empty() const { return left >= right || top >= bottom; }
    bool contains(TipPoint point) const {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
};

// The common part of two rectangles; all zero when they do not meet.
TipRect intersect(const TipRect& a, const TipRect& b);

constexpr size_t kTipTextSize = 260;

// What a view hands its tip window, in the view's client coordinates: the
// text stands cut at textRect, and stays the candidate while the mouse is
// inside hot.
struct TipCandidate {
    TipRect hot;
    TipRect textRect;
    char text[kTipTextSize];
};

// A mouse message that reached the view, as the view passes it on.
struct TipMouseRecord {
    uintptr_t view;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

// The mouse messages a view passes on to its tip window: those of its
// client area and those of its frame.
constexpr uint32_t kMouseMove = 0x200;
constexpr uint32_t kLastClientMouseMessage = 0x209;
constexpr uint32_t kFirstFrameMouseMessage = 0xA0;
constexpr uint32_t kLastFrameMouseMessage = 0xA9;
// MK_LBUTTON | MK_RBUTTON | MK_MBUTTON
constexpr uintptr_t kAnyMouseButton = 0x13;

constexpr bool isClientMouseMessage(uint32_t message) {
    return message >= kMouseMove && message <= kLastClientMouseMessage;
}
constexpr bool isFrameMouseMessage(uint32_t message) {
    return message >= kFirstFrameMouseMessage && message <= kLastFrameMouseMessage;
}
constexpr bool isViewMouseMessage(uint32_t message) {
    return isClientMouseMessage(message) || isFrameMouseMessage(message);
}
// A move with no button held: the only message that looks for a new cell.
constexpr bool isPlainMouseMove(uint32_t message, uintptr_t wParam) {
    return message == kMouseMove && (wParam & kAnyMouseButton) == 0;
}
// The point of a client mouse message: signed words, negative left of or
// above the view while it has the capture.
inline TipPoint mousePoint(intptr_t lParam) {
    return {static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
}

enum TipState : uint32_t {
    TIP_IDLE = 0,        // no candidate
    TIP_ARMED = 1,       // a candidate, hidden, waiting for the mouse to enter it
    TIP_SUPPRESSED = 2,  // hidden while the mouse is still inside the candidate
    TIP_SHOWN = 3,
    TIP_DELAYING = 4,    // the mouse rests inside: the timer counts to the showing
};

// What the machine needs of the window it drives.
class TipHost {
public:
    virtual void showTip(const TipRect& textRect, const char* text) = 0;
    virtual void hideTip() = 0;
    // False when no timer could be had.
    virtual bool startTimer() = 0;
    virtual void stopTimer() = 0;
    // The cursor in the view's client coordinates.
    virtual TipPoint cursor() = 0;
    virtual TipRect viewClientRect() = 0;
    // The cursor is over the view's client area itself (no other window
    // covers it) and the program is the active one.
    virtual bool cursorRestsOnView() = 0;

protected:
    ~TipHost() = default;
};

class TipMachine {
public:
    static constexpr uint32_t kDelayTicks = 5;
    // Once a tip has been shown, the next one follows the mouse quickly.
    static constexpr uint32_t kQuickDelayTicks = 1;
    static constexpr uint32_t kShownTicks = 50;

    explicit TipMachine(TipHost& host) : host_(host) {}
    TipMachine(const TipMachine&) = delete;
    TipMachine& operator=(const TipMachine&) = delete;

    // Disabling hides the tip and forgets the candidate.
    void setEnabled(bool enabled);
    bool enabled() const { return (flags_ & kEnabled) != 0; }

    // Null or an empty text drops the candidate; so does one of which nothing
    // lies inside the view. True when the candidate was taken.
    bool newCandidate(const TipCandidate* candidate);
    void mouseSeen(uint32_t message, uintptr_t wParam, intptr_t lParam);
    void tick();
    // Another window takes the mouse (a menu, a drag, a dialog).
    void cancelMode() { hideIfShown(); }

    TipState state() const { return static_cast<TipState>(state_); }
    const TipRect& textRect() const { return textRect_; }
    const char* text() const { return text_; }

private:
    static constexpr uint32_t kEnabled = 0x1;
    static constexpr uint32_t kShownRecently = 0x2;
    static constexpr uint32_t kTimerRunning = 0x4;

    void reset();
    void hide();
    void hideIfShown();
    void startDelay();
    void show();

    TipHost& host_;
    uint32_t state_ = TIP_IDLE;
    uint32_t flags_ = kEnabled;
    uint32_t ticks_ = 0;
    uint32_t tickLimit_ = 0;
    TipRect hot_ = {};
    TipRect textRect_ = {};
    char text_[kTipTextSize] = {};
};
