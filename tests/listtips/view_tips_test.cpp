#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "doctest.h"
#include "listtips/list_tips.h"

namespace {

BOOL CALLBACK collectTip(HWND window, LPARAM found) {
    char name[32];
    if (GetClassNameA(window, name, sizeof name) && lstrcmpA(name, "QL_ViewTip") == 0)
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

std::vector<HWND> tipWindows() {
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), collectTip, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A subclass beneath the tips that records the end of the view.
WNDPROC listOwnProc = nullptr;
bool belowSawDestroy = false;

LRESULT CALLBACK belowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY)
        belowSawDestroy = true;
    return CallWindowProcA(listOwnProc, window, message, wParam, lParam);
}

// A subclass above the tips that puts its predecessor back at the end, as
// the list's header drawing does.
WNDPROC tipsProc = nullptr;

LRESULT CALLBACK aboveProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY)
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(tipsProc));
    return CallWindowProcA(tipsProc, window, message, wParam, lParam);
}

}  // namespace

TEST_CASE("a view's tip window lives as long as the view, among other subclasses of the view") {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND frame = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, instance, nullptr);
    REQUIRE(frame);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 200, 100, frame, nullptr,
                                instance, nullptr);
    HWND button = CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 20, 20, frame, nullptr, instance, nullptr);
    REQUIRE(list);
    REQUIRE(button);
    CHECK_FALSE(installListTips(button));
    CHECK_FALSE(disableListTips(button));

    listOwnProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(belowProc)));
    CHECK_FALSE(disableListTips(list));
    REQUIRE(installListTips(list));
    tipsProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(aboveProc)));
    std::vector<HWND> tips = tipWindows();
    REQUIRE(tips.size() == 1);
    CHECK(disableListTips(list));
    CHECK(installListTips(list));
    CHECK(tipWindows() == tips);

    belowSawDestroy = false;
    DestroyWindow(list);
    CHECK(belowSawDestroy);
    CHECK_FALSE(IsWindow(tips[0]));
    CHECK(tipWindows().empty());
    DestroyWindow(frame);
}
