#include <climits>

#include "doctest.h"
#include "ui/frame/frame.h"
#include "ui/frame/placement.h"
#include "ui/frame/splitter.h"

namespace {

FrameGeometryInput frameInput(int splitterPos, bool bars) {
    FrameGeometryInput input = {};
    input.paneArea = {0, 30, 900, 600};
    input.splitterPos = splitterPos;
    input.screenWidth = 1280;
    input.splitterWidth = 4;
    input.lineHeight = 14;
    input.descriptionBars = bars;
    return input;
}

}  // namespace

TEST_CASE("the splitter stays where it was put unless the screen cannot hold it") {
    CHECK(computeFrameGeometry(frameInput(250, true)).splitterPos == 250);
    // Unset, negative, or at or past the screen width (after a change to a
    // smaller screen): a third of the pane area.
    CHECK(computeFrameGeometry(frameInput(kPlacementUnset, true)).splitterPos == 300);
    CHECK(computeFrameGeometry(frameInput(-5, true)).splitterPos == 300);
    CHECK(computeFrameGeometry(frameInput(1280, true)).splitterPos == 300);
    CHECK(computeFrameGeometry(frameInput(1279, true)).splitterPos == 1279);
}

TEST_CASE("tree and list share the pane area on both sides of the splitter") {
    FrameGeometry g = computeFrameGeometry(frameInput(250, true));
    CHECK(g.splitter.left == 250);
    CHECK(g.splitter.right == 254);
    CHECK(g.splitter.top == 30);
    CHECK(g.splitter.bottom == 600);
    // Bars are one and a half lines high, with one pixel below them.
    CHECK(g.leftBar.bottom - g.leftBar.top == 21);
    CHECK(g.tree.top == 30 + 21 + 1);
    CHECK(g.tree.right == 250);
    CHECK(g.list.left == 254);
    CHECK(g.list.right == 900);
    CHECK(g.rightBar.left == g.list.left);
    CHECK(g.list.bottom == 600);

    SUBCASE("without description bars the panes get their height") {
        FrameGeometry bare = computeFrameGeometry(frameInput(250, false));
        CHECK(bare.tree.top == 30);
        CHECK(bare.list.top == 30);
        CHECK(bare.tree.bottom - bare.tree.top == g.tree.bottom - g.tree.top + 22);
    }
}

TEST_CASE("the splitter drag keeps 32 pixels from both edges") {
    RECT wide = {0, 0, 500, 300};
    DragLimits limits = splitterDragLimits(wide);
    CHECK(limits.low == 32);
    CHECK(limits.high == 468);
    CHECK(clampToLimits(5, limits) == 32);
    CHECK(clampToLimits(700, limits) == 468);
    CHECK(clampToLimits(200, limits) == 200);

    SUBCASE("a pane area narrower than 64 pixels leaves one position") {
        RECT narrow = {0, 0, 40, 300};
        DragLimits point = splitterDragLimits(narrow);
        CHECK(point.low == 32);
        CHECK(point.high == 32);
        CHECK(clampToLimits(0, point) == 32);
        CHECK(clampToLimits(39, point) == 32);
    }
}

TEST_CASE("moving the dragged bar inverts both places once and leaves their overlap alone") {
    SUBCASE("a short move: the bars overlap") {
        BarMove move = barMove(100, 102, 2, 4);
        CHECK(move.left == 98);
        CHECK(move.width == 6);
        CHECK(move.excludeLeft == 100);
        CHECK(move.excludeRight == 102);
    }
    SUBCASE("a long move to the left: the gap between them is left alone") {
        BarMove move = barMove(200, 100, 2, 4);
        CHECK(move.left == 98);
        CHECK(move.width == 104);
        CHECK(move.excludeLeft == 102);
        CHECK(move.excludeRight == 198);
    }
}

TEST_CASE("a stored window comes back only when it fits and shows on the screen") {
    CHECK(placementRestorable({100, 80, 640, 480}, 1280, 1024));
    CHECK_FALSE(placementRestorable({kPlacementUnset, 80, 640, 480}, 1280, 1024));
    CHECK_FALSE(placementRestorable({100, 80, kPlacementUnset, 480}, 1280, 1024));
    CHECK_FALSE(placementRestorable({0, 0, 1300, 480}, 1280, 1024));
    CHECK_FALSE(placementRestorable({0, 0, 640, 1100}, 1280, 1024));
    CHECK_FALSE(placementRestorable({2000, 80, 640, 480}, 1280, 1024));
    CHECK_FALSE(placementRestorable({-700, 80, 640, 480}, 1280, 1024));
    CHECK(placementRestorable({-600, -400, 640, 480}, 1280, 1024));
    // Values from the registry whose sums would wrap around.
    CHECK_FALSE(placementRestorable({INT_MAX - 10, 0, 640, 480}, 1280, 1024));
    CHECK_FALSE(placementRestorable({0, INT_MIN + 5, 640, 480}, 1280, 1024));
}

TEST_CASE("the recorded place is in screen coordinates whatever the taskbar takes") {
    // GetWindowPlacement reports (60, 40) for a window at screen (60, 70)
    // when a taskbar of 30 pixels sits at the top of the screen.
    RECT normal = {60, 40, 760, 540};
    StoredPlacement stored = placementFromNormalRect(normal, {0, 30});
    CHECK(stored.left == 60);
    CHECK(stored.top == 70);
    CHECK(stored.width == 700);
    CHECK(stored.height == 500);
    StoredPlacement left = placementFromNormalRect(normal, {48, 0});
    CHECK(left.left == 108);
    CHECK(left.top == 40);
}

TEST_CASE("the window starts as the starter asked, maximized when it was so") {
    STARTUPINFOA startup = {};
    CHECK(startupShowCommand(startup, false) == SW_SHOWNORMAL);
    CHECK(startupShowCommand(startup, true) == SW_SHOWMAXIMIZED);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    CHECK(startupShowCommand(startup, true) == SW_SHOWMINNOACTIVE);
    startup.wShowWindow = SW_SHOWNORMAL;
    CHECK(startupShowCommand(startup, true) == SW_SHOWMAXIMIZED);
}
