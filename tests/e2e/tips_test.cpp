#include <cstdlib>
#include <string>
#include <vector>

#include "app_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "program_state.h"
#include "tip_driver.h"

namespace {

const char kTipsHost[] = "tips.example.org";
const char kLongHost[] = "ein.sehr.langer.rechnername.der.ueber.den.rand.des.baumes.hinausragt.example.org";
// Rows of the tips host's list, sorted by title.
const int kAachen = 0;
const int kBremen = 1;
const int kShort = 2;
const int kTitleColumn = 0;
const int kSizeColumn = 4;

bool startOnTipsHost(AppDriver& app) {
    prepareFirstStart(fixtureCache("tips"));
    return app.start() && app.moveWindow(40, 40, 800, 500) && app.selectTreeLabel(kTipsHost) && app.listShowsDetails();
}

// The program on the tips cache, its window at a known place, the list
// showing the tips host.
struct TipsSession {
    AppDriver app;
    bool ready = startOnTipsHost(app);
    TipDriver tips{app};

    ~TipsSession() { app.closeThroughMenu(); }

    // The mouse waits where no tip can come: below the rows, on the part
    // of the list the screen shows.
    void parkMouse() const {
        RECT client;
        GetClientRect(app.list(), &client);
        POINT park = {client.right / 2, client.bottom - 5};
        POINT onScreen = park;
        ClientToScreen(app.list(), &onScreen);
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        if (onScreen.x >= screenWidth)
            park.x -= onScreen.x - (screenWidth - 1);
        tips.moveMouse(app.list(), park);
    }
};

// Wine's list view draws the texts of the columns after the first one pixel
// further left than the native one, whose layout the tips follow.
const int kWineSubItemShift = 1;

void checkTextLiesOnCell(const TipDriver& tips, HWND tip, const InkStart& cell, int tolerance = 0) {
    InkStart shown = tips.tipInkStart(tip);
    REQUIRE(cell.found);
    REQUIRE(shown.found);
    CHECK(std::abs(shown.x - cell.x) <= tolerance);
    CHECK(shown.y == cell.y);
}

}  // namespace

TEST_CASE_FIXTURE(TipsSession, "a title cut by its column shows whole, laid exactly over the cut title") {
    REQUIRE(ready);
    INFO(tips.situation());
    parkMouse();
    REQUIRE(tips.waitForNoTip());

    RECT bremen = tips.listCell(kBremen, kTitleColumn);
    InkStart cutTitle = tips.inkStart(app.list(), bremen);
    tips.moveMouseToCentre(app.list(), bremen);
    HWND tip = tips.waitForTip();
    REQUIRE(tip);
    CHECK(tips.tipText(tip) == "Bremen: noch ein langer Titel, auch er wird abgeschnitten");
    checkTextLiesOnCell(tips, tip, cutTitle);

    // The tip follows the mouse to the next cut title.
    tips.moveMouseToCentre(app.list(), tips.listCell(kAachen, kTitleColumn));
    CHECK(tips.waitForTipText("Aachen: ein sehr langer Titel, der nicht in seine Spalte passt") == tip);

    // A title that fits its column shows none.
    tips.moveMouseToCentre(app.list(), tips.listCell(kShort, kTitleColumn));
    CHECK(tips.waitForNoTip());
    CHECK(tips.noTipWhileResting());

    SUBCASE("the plain list view shows no tips; the details view again without reinstalling") {
        app.command(kListView);
        tips.moveMouse(app.list(), {10, 10});
        CHECK(tips.noTipWhileResting());
        app.command(kDetails);
        parkMouse();
        tips.moveMouseToCentre(app.list(), tips.listCell(kBremen, kTitleColumn));
        CHECK(tips.waitForTip() == tip);
    }
}

TEST_CASE_FIXTURE(TipsSession, "a right-aligned size cut by the list's right edge shows whole; in full sight it shows none") {
    REQUIRE(ready);
    INFO(tips.situation());
    RECT client;
    GetClientRect(app.list(), &client);
    // Columns 1 to 3 are 80 pixels wide, the size column 50: its right half
    // lies past the list's right edge.
    SendMessageA(app.list(), LVM_SETCOLUMNWIDTH, kTitleColumn, client.right - 3 * 80 - 25);
    parkMouse();
    REQUIRE(tips.waitForNoTip());

    RECT size = tips.listCell(kAachen, kSizeColumn);
    REQUIRE(size.right > client.right);
    size.right = client.right;
    InkStart cutSize = tips.inkStart(app.list(), size);
    tips.moveMouse(app.list(), {client.right - 4, (size.top + size.bottom) / 2});
    HWND tip = tips.waitForTip();
    REQUIRE(tip);
    CHECK(tips.tipText(tip) == "147 KB");
    checkTextLiesOnCell(tips, tip, cutSize, kWineSubItemShift);

    parkMouse();
    CHECK(tips.waitForNoTip());
    SendMessageA(app.list(), LVM_SETCOLUMNWIDTH, kTitleColumn, client.right - 3 * 80 - 60);
    size = tips.listCell(kAachen, kSizeColumn);
    tips.moveMouse(app.list(), {size.right - 4, (size.top + size.bottom) / 2});
    CHECK(tips.noTipWhileResting());
}

TEST_CASE_FIXTURE(TipsSession, "a tree label that runs past the tree's right edge shows whole over the label") {
    REQUIRE(ready);
    INFO(tips.situation());
    parkMouse();
    REQUIRE(tips.waitForNoTip());

    HTREEITEM longHost = nullptr;
    for (const TreeNode& node : app.treeNodes())
        if (node.label == kLongHost)
            longHost = node.item;
    REQUIRE(longHost);
    RECT label = tips.treeLabel(longHost);
    RECT tree;
    GetClientRect(app.tree(), &tree);
    REQUIRE(label.right > tree.right);
    label.right = tree.right;
    InkStart cutLabel = tips.inkStart(app.tree(), label);
    tips.moveMouse(app.tree(), {label.left + 10, (label.top + label.bottom) / 2});
    HWND tip = tips.waitForTip();
    REQUIRE(tip);
    CHECK(tips.tipText(tip) == kLongHost);
    checkTextLiesOnCell(tips, tip, cutLabel);
}

TEST_CASE_FIXTURE(TipsSession, "a click, a key, scrolling and sorting hide the tip at once") {
    REQUIRE(ready);
    INFO(tips.situation());
    HWND list = app.list();
    auto showTip = [&] {
        parkMouse();
        tips.waitForNoTip();
        tips.moveMouseToCentre(list, tips.listCell(kBremen, kTitleColumn));
        return tips.waitForTip();
    };
    auto send = [&](UINT message, WPARAM wParam) {
        DWORD_PTR result;
        SendMessageTimeoutA(list, message, wParam, 0, SMTO_NORMAL, 5000, &result);
    };

    REQUIRE(showTip());
    tips.click();
    CHECK(tips.waitForNoTip(1000));
    // While the mouse stays on the title, it does not come back.
    CHECK(tips.noTipWhileResting());

    REQUIRE(showTip());
    send(WM_KEYDOWN, VK_SHIFT);
    CHECK_FALSE(tips.shownTip());

    REQUIRE(showTip());
    send(WM_HSCROLL, SB_LINERIGHT);
    CHECK_FALSE(tips.shownTip());
    send(WM_HSCROLL, SB_LEFT);

    REQUIRE(showTip());
    app.command(kSortBySize);
    CHECK_FALSE(tips.shownTip());
}

TEST_CASE_FIXTURE(TipsSession, "switching list tips off stops them; on again reuses the same tip windows") {
    REQUIRE(ready);
    INFO(tips.situation());
    const std::vector<HWND> tipWindows = tips.tipWindows();
    CHECK(tipWindows.size() == 2);
    parkMouse();
    tips.moveMouseToCentre(app.list(), tips.listCell(kBremen, kTitleColumn));
    REQUIRE(tips.waitForTip());

    app.command(kListTips);
    CHECK_FALSE(tips.shownTip());
    parkMouse();
    tips.moveMouseToCentre(app.list(), tips.listCell(kBremen, kTitleColumn));
    CHECK(tips.noTipWhileResting());

    app.command(kListTips);
    CHECK(tips.tipWindows() == tipWindows);
    parkMouse();
    tips.moveMouseToCentre(app.list(), tips.listCell(kBremen, kTitleColumn));
    HWND tip = tips.waitForTip();
    CHECK(tip);
    CHECK(tips.tipText(tip) == "Bremen: noch ein langer Titel, auch er wird abgeschnitten");
}

TEST_CASE_FIXTURE(TipsSession, "a tip near the right screen edge is moved left so that it fits") {
    REQUIRE(ready);
    INFO(tips.situation());
    // The window reaches past the screen's right edge; the list's first
    // column stays in sight.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    RECT frame;
    RECT list;
    GetWindowRect(app.mainWindow(), &frame);
    GetWindowRect(app.list(), &list);
    REQUIRE(app.moveWindow(screenWidth - 160 - (list.left - frame.left), 40, 800, 500));
    parkMouse();
    REQUIRE(tips.waitForNoTip());
    RECT title = tips.listCell(kBremen, kTitleColumn);
    tips.moveMouseToCentre(app.list(), title);
    HWND tip = tips.waitForTip();
    REQUIRE(tip);
    RECT shown;
    GetWindowRect(tip, &shown);
    MapWindowPoints(app.list(), nullptr, reinterpret_cast<POINT*>(&title), 2);
    CHECK(shown.right == screenWidth);
    CHECK(shown.left < title.left);
    CHECK(shown.left >= 0);
}

