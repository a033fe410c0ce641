#include <cstring>
#include <string>

#include "doctest.h"
#include "listtips/tip_machine.h"

namespace {

const uint32_t kLeftButtonDown = 0x201;
const uint32_t kFrameMouseMove = 0xA0;
const uintptr_t kLeftButton = 0x1;

// A view 400 by 300 pixels with a fake clock: the timer only records that it
// runs; the test hands out its ticks.
struct FakeView final : TipHost {
    TipPoint mouse = {-50, -50};
    bool onView = true;
    bool timer = false;
    bool timerAvailable = true;
    bool shown = false;
    std::string shownText;
    TipRect shownAt = {};

    void showTip(const TipRect& textRect, const char* text) override {
        shown = true;
        shownText = text;
        shownAt = textRect;
    }
    void hideTip() override { shown = false; }
    bool startTimer() override {
        timer = timerAvailable;
        return timer;
    }
    void stopTimer() override { timer = false; }
    TipPoint cursor() override { return mouse; }
    TipRect viewClientRect() override { return {0, 0, 400, 300}; }
    bool cursorRestsOnView() override { return onView; }
};

struct Fixture {
    FakeView view;
    TipMachine tip{view};

    TipCandidate candidate(const char* text, TipRect hot) {
        TipCandidate record = {};
        record.hot = hot;
        record.textRect = hot;
        std::strncpy(record.text, text, sizeof record.text - 1);
        return record;
    }
    void moveTo(int32_t x, int32_t y, uintptr_t buttons = 0) {
        view.mouse = {x, y};
        tip.mouseSeen(kMouseMove, buttons, static_cast<intptr_t>(static_cast<uint32_t>(y) << 16 | (x & 0xFFFF)));
    }
    // Moves onto the text and hands the candidate over, as the view does.
    void restOn(const char* text, TipRect hot) {
        moveTo(hot.left + 1, hot.top + 1);
        TipCandidate record = candidate(text, hot);
        tip.newCandidate(&record);
    }
    // The ticks of the clock; none arrive while the timer is stopped.
    void advance(int ticks) {
        for (int i = 0; i < ticks; ++i)
            if (view.timer)
                tip.tick();
    }
};

const TipRect kTitle = {10, 20, 110, 36};
const TipRect kNextTitle = {10, 36, 110, 52};

}  // namespace

TEST_CASE("a cut text under the resting mouse shows after the delay, the next one after one tick") {
    Fixture f;
    f.restOn("Ein langer Titel", kTitle);
    f.advance(4);
    CHECK_FALSE(f.view.shown);
    f.advance(1);
    CHECK(f.view.shown);
    CHECK(f.view.shownText == "Ein langer Titel");
    CHECK(f.view.shownAt.left == kTitle.left);

    f.restOn("Der nächste Titel", kNextTitle);
    CHECK_FALSE(f.view.shown);
    f.advance(1);
    CHECK(f.view.shown);
    CHECK(f.view.shownText == "Der nächste Titel");

    // A move within the text keeps the tip; a move out of it hides it.
    f.moveTo(kNextTitle.right - 1, kNextTitle.top + 2);
    CHECK(f.view.shown);
    f.moveTo(kNextTitle.right + 5, kNextTitle.top + 2);
    CHECK_FALSE(f.view.shown);
}

TEST_CASE("a tip hidden by a click or its time-out stays away until the mouse leaves the text and returns") {
    Fixture f;
    f.restOn("Ein langer Titel", kTitle);
    SUBCASE("click before it shows") {
        f.tip.mouseSeen(kLeftButtonDown, kLeftButton, 0);
    }
    SUBCASE("click while it shows") {
        f.advance(5);
        REQUIRE(f.view.shown);
        f.tip.mouseSeen(kLeftButtonDown, kLeftButton, 0);
        // Dragging inside the text with the button held does not bring it back.
        f.moveTo(kTitle.left + 3, kTitle.top + 3, kLeftButton);
    }
    SUBCASE("time-out") {
        f.advance(5 + TipMachine::kShownTicks - 1);
        CHECK(f.view.shown);
        f.advance(1);
    }
    CHECK_FALSE(f.view.shown);
    f.moveTo(kTitle.left + 2, kTitle.top + 2);
    f.advance(60);
    CHECK_FALSE(f.view.shown);

    f.moveTo(kTitle.right + 10, kTitle.top);
    f.moveTo(kTitle.left + 2, kTitle.top + 2);
    f.advance(5);
    CHECK(f.view.shown);
}

TEST_CASE("a dropped, empty or unseen candidate leaves the tip idle and its timer stopped") {
    Fixture f;
    f.restOn("Ein langer Titel", kTitle);
    f.advance(5);
    REQUIRE(f.view.shown);
    SUBCASE("dropped") {
        CHECK_FALSE(f.tip.newCandidate(nullptr));
    }
    SUBCASE("empty") {
        TipCandidate empty = f.candidate("", kTitle);
        CHECK_FALSE(f.tip.newCandidate(&empty));
    }
    SUBCASE("outside the view") {
        TipCandidate below = f.candidate("Ein langer Titel", {10, 300, 110, 316});
        CHECK_FALSE(f.tip.newCandidate(&below));
    }
    SUBCASE("disabled") {
        f.tip.setEnabled(false);
        CHECK_FALSE(f.tip.enabled());
    }
    CHECK(f.tip.state() == TIP_IDLE);
    CHECK_FALSE(f.view.shown);
    CHECK_FALSE(f.view.timer);
    f.moveTo(kTitle.left + 2, kTitle.top + 2);
    f.advance(10);
    CHECK_FALSE(f.view.shown);
}

TEST_CASE("leaving the view's client area hides the tip and keeps the text armed for a full delay") {
    Fixture f;
    f.restOn("Ein langer Titel", kTitle);
    f.advance(5);
    REQUIRE(f.view.shown);
    SUBCASE("onto the frame") {
        f.tip.mouseSeen(kFrameMouseMove, 0, 0);
    }
    SUBCASE("off the view, or to another program") {
        f.view.onView = false;
        f.advance(1);
        f.view.onView = true;
    }
    CHECK_FALSE(f.view.shown);
    CHECK_FALSE(f.view.timer);
    CHECK(f.tip.state() == TIP_ARMED);
    f.moveTo(kTitle.left + 2, kTitle.top + 2);
    f.advance(4);
    CHECK_FALSE(f.view.shown);
    f.advance(1);
    CHECK(f.view.shown);
}

TEST_CASE("a candidate's text is cut to the tip's buffer; without a timer nothing shows") {
    Fixture f;
    f.view.timerAvailable = false;
    TipCandidate record = f.candidate("", kTitle);
    std::memset(record.text, 'x', sizeof record.text);
    f.view.mouse = {kTitle.left + 1, kTitle.top + 1};
    CHECK(f.tip.newCandidate(&record));
    CHECK(std::string(f.tip.text()) == std::string(kTipTextSize - 1, 'x'));
    CHECK(f.tip.state() == TIP_ARMED);
    f.tip.tick();
    CHECK_FALSE(f.view.shown);
}
