#include <windows.h>

#include "core/window_base.h"
#include "doctest.h"
#include "resources/dialog_ids.h"

namespace {

const char kRecordingClass[] = "TarnWindowBaseTest";

// Notes what window() says in the first and the last handler, and whether
// anything reaches the object after it was let go.
class RecordingWindow : public WindowBase {
public:
    explicit RecordingWindow(bool letGoAtDestroy) : letGoAtDestroy_(letGoAtDestroy) {}

    HWND make() {
        return createWindow(GetModuleHandleA(nullptr), kRecordingClass, WS_POPUP, 0, nullptr, 0, 0, 10, 10);
    }

    HWND atNcCreate = nullptr;
    HWND atNcDestroy = nullptr;
    int messagesAfterDestroy = 0;
    int finalMessages = 0;

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (destroyed_)
            ++messagesAfterDestroy;
        if (message == WM_NCCREATE)
            atNcCreate = window();
        if (message == WM_NCDESTROY)
            atNcDestroy = window();
        if (message == WM_DESTROY) {
            destroyed_ = true;
            if (letGoAtDestroy_) {
                HWND own = window();
                detachFromWindow();
                return DefWindowProcA(own, message, wParam, lParam);
            }
        }
        return defaultHandling(message, wParam, lParam);
    }
    void onFinalMessage() override { ++finalMessages; }

    bool letGoAtDestroy_;
    bool destroyed_ = false;
};

// Closes itself through OK as soon as it is up, noting what window() said.
class RecordingDialog : public DialogBase {
public:
    HWND atInit = nullptr;
    HWND atNcDestroy = nullptr;

private:
    bool onInitDialog() override {
        atInit = window();
        PostMessageA(window(), WM_COMMAND, IDOK, 0);
        return true;
    }
    INT_PTR onOtherMessage(UINT message, WPARAM, LPARAM) override {
        if (message == WM_NCDESTROY)
            atNcDestroy = window();
        return FALSE;
    }
};

}  // namespace

TEST_CASE("a window or dialog reaches its object from its first handler to its last, never after") {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowBase::windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kRecordingClass;
    REQUIRE(RegisterClassA(&windowClass));

    {
        RecordingWindow recorder(false);
        HWND window = recorder.make();
        REQUIRE(window);
        CHECK(recorder.atNcCreate == window);
        CHECK(recorder.window() == window);
        DestroyWindow(window);
        CHECK(recorder.atNcDestroy == window);
        CHECK(recorder.window() == nullptr);
        CHECK(recorder.finalMessages == 1);
    }
    {
        // Let go at WM_DESTROY: WM_NCDESTROY and whatever else follows has
        // the system's handling.
        RecordingWindow recorder(true);
        HWND window = recorder.make();
        REQUIRE(window);
        DestroyWindow(window);
        CHECK(recorder.window() == nullptr);
        CHECK(recorder.messagesAfterDestroy == 0);
        CHECK(recorder.finalMessages == 0);
    }
    {
        RecordingDialog dialog;
        CHECK(dialog.runModal(nullptr, DLG_ABOUT) == IDOK);
        CHECK(dialog.atInit != nullptr);
        CHECK(dialog.atNcDestroy == dialog.atInit);
        CHECK(dialog.window() == nullptr);
    }
    UnregisterClassA(kRecordingClass, GetModuleHandleA(nullptr));
}
