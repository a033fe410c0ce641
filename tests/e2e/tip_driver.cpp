#include "tip_driver.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "doctest.h"
#include "listtips/tip_machine.h"
#include "remote_memory.h"
#include "waiting.h"

namespace {

struct TipSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectTip(HWND window, LPARAM data) {
    TipSearch* search = reinterpret_cast<TipSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[32];
    if (owner == search->processId && GetClassNameA(window, name, sizeof name) && lstrcmpA(name, "QL_ViewTip") == 0)
        search->found.push_back(window);
    return TRUE;
}

void sendMouse(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// Dark enough to be the black of a text on white or on the tip's yellow.
bool isInk(uint32_t pixel) {
    int blue = pixel & 0xFF;
    int green = (pixel >> 8) & 0xFF;
    int red = (pixel >> 16) & 0xFF;
    return red + green + blue < 3 * 96;
}

}  // namespace

TipDriver::TipDriver(AppDriver& app) : app_(app) {
    DWORD processId = 0;
    GetWindowThreadProcessId(app.mainWindow(), &processId);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
}

TipDriver::~TipDriver() {
    if (process_)
        CloseHandle(process_);
}

std::vector<HWND> TipDriver::tipWindows() const {
    TipSearch search = {0, {}};
    GetWindowThreadProcessId(app_.mainWindow(), &search.processId);
    EnumWindows(collectTip, reinterpret_cast<LPARAM>(&search));
    std::sort(search.found.begin(), search.found.end());
    return search.found;
}

HWND TipDriver::shownTip() const {
    for (HWND tip : tipWindows())
        if (IsWindowVisible(tip))
            return tip;
    return nullptr;
}

HWND TipDriver::waitForTip(DWORD timeoutMs) const {
    HWND tip = nullptr;
    waitUntil([&] { return (tip = shownTip()) != nullptr; }, timeoutMs);
    return tip;
}

HWND TipDriver::waitForTipText(const std::string& text, DWORD timeoutMs) const {
    HWND tip = nullptr;
    waitUntil([&] { return (tip = shownTip()) != nullptr && tipText(tip) == text; }, timeoutMs);
    return tip && tipText(tip) == text ? tip : nullptr;
}

bool TipDriver::waitForNoTip(DWORD timeoutMs) const {
    return waitUntil([&] { return shownTip() == nullptr; }, timeoutMs);
}

bool TipDriver::noTipWhileResting() const {
    // A tip shows TipMachine::kDelayTicks ticks of its timer after the mouse
    // came to rest. The clock keeps the timer's pace but not its beat: two
    // ticks more cover a timer started up to a tick before the count was
    // read and ticking just after the clock.
    const long restTicks = TipMachine::kDelayTicks + 2;
    const long start = app_.programClock();
    if (start < 0)
        return false;
    waitUntil([&] { return shownTip() != nullptr || app_.programClock() - start >= restTicks; }, 30000);
    return shownTip() == nullptr && app_.programClock() - start >= restTicks;
}

std::string TipDriver::tipText(HWND tip) const {
    return app_.windowText(tip);
}

void TipDriver::moveMouse(HWND window, POINT client) const {
    ClientToScreen(window, &client);
    CHECK_MESSAGE(app_.moveMouse(client), "the program did not take the mouse move to " << client.x << "," << client.y);
}

std::string TipDriver::situation() const {
    POINT cursor = {};
    GetCursorPos(&cursor);
    HWND tip = shownTip();
    std::string text = "cursor at " + std::to_string(cursor.x) + "," + std::to_string(cursor.y) +
                       (GetForegroundWindow() == app_.mainWindow() ? ", program in front" : ", program not in front");
    return text + (tip ? ", tip shows \"" + tipText(tip) + "\"" : ", no tip shown");
}

void TipDriver::moveMouseToCentre(HWND window, const RECT& client) const {
    moveMouse(window, {(client.left + client.right) / 2, (client.top + client.bottom) / 2});
}

void TipDriver::click() const {
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
}

RECT TipDriver::listCell(int row, int column) const {
    RECT rect = {column == 0 ? LVIR_LABEL : LVIR_BOUNDS, column, 0, 0};
    RemoteMemory memory(process_, sizeof rect);
    if (!memory.write(&rect, sizeof rect) ||
        !SendMessageA(app_.list(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(memory.address())) ||
        !memory.read(&rect, sizeof rect))
        return {};
    return rect;
}

RECT TipDriver::treeLabel(HTREEITEM item) const {
    // The request names the item in the rectangle's first bytes.
    RECT rect = {};
    std::memcpy(&rect, &item, sizeof item);
    RemoteMemory memory(process_, sizeof rect);
    if (!memory.write(&rect, sizeof rect) ||
        !SendMessageA(app_.tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(memory.address())) ||
        !memory.read(&rect, sizeof rect))
        return {};
    return rect;
}

InkStart TipDriver::inkStart(HWND window, RECT client) const {
    InkStart start;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return start;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (picture && memory) {
        HGDIOBJ previous = SelectObject(memory, picture);
        BitBlt(memory, 0, 0, width, height, screen, client.left, client.top, SRCCOPY);
        GdiFlush();
        const uint32_t* pixels = static_cast<const uint32_t*>(bits);
        for (int x = 0; x < width && !start.found; ++x)
            for (int y = 0; y < height; ++y)
                if (isInk(pixels[y * width + x])) {
                    start.found = true;
                    start.x = client.left + x;
                    start.y = client.top + y;
                    break;
                }
        // The first letter's top, a few columns into it.
        for (int x = start.x - client.left; start.found && x < width && x < start.x - client.left + 4; ++x)
            for (int y = 0; y < height; ++y)
                if (isInk(pixels[y * width + x])) {
                    if (client.top + y < start.y)
                        start.y = client.top + y;
                    break;
                }
        SelectObject(memory, previous);
    }
    if (picture)
        DeleteObject(picture);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return start;
}

InkStart TipDriver::tipInkStart(HWND tip) const {
    RECT client;
    GetClientRect(tip, &client);
    InflateRect(&client, -1, -1);
    return inkStart(tip, client);
}
