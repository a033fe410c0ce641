// A small remote control for the running program, used by the build script:
//   tarnctl wait [seconds]   waits until Tarnview's main window is visible
//   tarnctl close [seconds]  asks it to close and waits until it is gone
// Exit status 0 on success, 1 on time-out.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

HWND findMainWindow() {
    return FindWindowA("QL_TARN", nullptr);
}

bool waitFor(bool (*condition)(), DWORD seconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < seconds * 1000) {
        if (condition())
            return true;
        Sleep(100);
    }
    return condition();
}

bool mainWindowVisible() {
    HWND window = findMainWindow();
    return window && IsWindowVisible(window);
}

bool mainWindowGone() {
    return findMainWindow() == nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    DWORD seconds = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 60;
    if (std::strcmp(argv[1], "wait") == 0)
        return waitFor(mainWindowVisible, seconds) ? 0 : 1;
    if (std::strcmp(argv[1], "close") == 0) {
        if (HWND window = findMainWindow())
            PostMessageA(window, WM_CLOSE, 0, 0);
        return waitFor(mainWindowGone, seconds) ? 0 : 1;
    }
    return 2;
}
