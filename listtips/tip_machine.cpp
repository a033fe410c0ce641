#include "listtips/tip_machine.h"

#include <algorithm>

TipRect intersect(const TipRect& a, const TipRect& b) {
    TipRect common = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                      std::min(a.bottom, b.bottom)};
    if (common.empty())
        return {};
    return common;
}

void TipMachine::setEnabled(bool enabled) {
    if (enabled) {
        flags_ |= kEnabled;
        return;
    }
    reset();
    state_ = TIP_IDLE;
    flags_ &= ~kEnabled;
}

// Hides the tip and stops the timer, but keeps the candidate: the mouse left
// the view's client area or the program lost the activation, and the same
// text may be wanted when it comes back.
void TipMachine::reset() {
    if (state_ == TIP_IDLE)
        return;
    hide();
    if (flags_ & kTimerRunning)
        host_.stopTimer();
    flags_ &= ~(kShownRecently | kTimerRunning);
    state_ = TIP_ARMED;
}

void TipMachine::hide() {
    if (state_ != TIP_SHOWN && state_ != TIP_DELAYING)
        return;
    host_.hideTip();
    state_ = TIP_SUPPRESSED;
}

// A click or a time-out: the tip stays away until the mouse has left the
// candidate and come back.
void TipMachine::hideIfShown() {
    if (state_ != TIP_SHOWN && state_ != TIP_DELAYING)
        return;
    hide();
    if (!hot_.contains(host_.cursor()))
        state_ = TIP_ARMED;
}

void TipMachine::startDelay() {
    if (state_ != TIP_ARMED)
        return;
    if (flags_ & kTimerRunning) {
        host_.stopTimer();
        flags_ &= ~kTimerRunning;
    }
    if (!host_.startTimer())
        return;
    flags_ |= kTimerRunning;
    state_ = TIP_DELAYING;
    ticks_ = 0;
    tickLimit_ = (flags_ & kShownRecently) ? kQuickDelayTicks : kDelayTicks;
}

void TipMachine::show() {
    ticks_ = 0;
    tickLimit_ = kShownTicks;
    state_ = TIP_SHOWN;
    flags_ |= kShownRecently;
    host_.showTip(textRect_, text_);
}

bool TipMachine::newCandidate(const TipCandidate* candidate) {
    if (candidate && candidate->text[0]) {
        hide();
        state_ = TIP_ARMED;
        textRect_ = candidate->textRect;
        // The record comes from the view's side; its text need not end
        // inside the buffer.
        size_t length = 0;
        while (length < kTipTextSize - 1 && candidate->text[length])
            ++length;
        std::copy(candidate->text, candidate->text + length, text_);
        text_[length] = '\0';
        hot_ = intersect(candidate->hot, host_.viewClientRect());
        if (!hot_.empty()) {
            if (hot_.contains(host_.cursor()))
                startDelay();
            return true;
        }
    }
    reset();
    state_ = TIP_IDLE;
    return false;
}

void TipMachine::mouseSeen(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (state_ == TIP_IDLE)
        return;
    if (isPlainMouseMove(message, wParam)) {
        if (hot_.contains(mousePoint(lParam))) {
            startDelay();
        } else {
            hide();
            state_ = TIP_ARMED;
        }
    } else if (isClientMouseMessage(message)) {
        hideIfShown();
    } else if (isFrameMouseMessage(message)) {
        reset();
    }
}

void TipMachine::tick() {
    if (!host_.cursorRestsOnView()) {
        reset();
        return;
    }
    ++ticks_;
    if (state_ == TIP_DELAYING && ticks_ >= tickLimit_)
        show();
    else if (state_ == TIP_SHOWN && ticks_ >= tickLimit_)
        hideIfShown();
}
