// For the tests of the list tips: finds the program's tip windows, moves the
// real mouse over its views, reads cell and label rectangles from the views,
// and looks at the screen to see where text is drawn.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app_driver.h"

// Where text starts in a part of the screen: the leftmost column with dark
// pixels, and the topmost dark pixel of the first letter there.
struct InkStart {
    bool found = false;
    int x = 0;
    int y = 0;
};

class TipDriver {
public:
    explicit TipDriver(AppDriver& app);
    ~TipDriver();
    TipDriver(const TipDriver&) = delete;
    TipDriver& operator=(const TipDriver&) = delete;

    // The program's tip windows, shown or not, ordered by handle.
    std::vector<HWND> tipWindows() const;
    // The tip window on the screen, or null.
    HWND shownTip() const;
    // Waits for a tip to show; null when none did.
    HWND waitForTip(DWORD timeoutMs = 10000) const;
    // Waits for the tip to show `text`; null when it did not.
    HWND waitForTipText(const std::string& text, DWORD timeoutMs = 10000) const;
    // Waits until no tip is shown.
    bool waitForNoTip(DWORD timeoutMs = 5000) const;
    // True when no tip shows while the mouse rests where it is, for longer
    // than a tip waits before it shows: by the program's own clock, which
    // keeps pace with the tips' timer however slowly the program runs.
    bool noTipWhileResting() const;
    std::string tipText(HWND tip) const;
    // Where the mouse is, whether the program is in front and what tip
    // shows: for the report of a failed check.
    std::string situation() const;

    // Moves the mouse to a point of `window`'s client area as a user would;
    // the program has taken the move there when it returns, or the check
    // fails.
    void moveMouse(HWND window, POINT client) const;
    void moveMouseToCentre(HWND window, const RECT& client) const;
    void click() const;

    // A cell of the list, in its client coordinates; column 0 without the
    // icons.
    RECT listCell(int row, int column) const;
    // The label of a tree item, in the tree's client coordinates.
    RECT treeLabel(HTREEITEM item) const;

    InkStart inkStart(HWND window, RECT client) const;
    // Inside the tip, within its edge.
    InkStart tipInkStart(HWND tip) const;

private:
    AppDriver& app_;
    HANDLE process_ = nullptr;
};
