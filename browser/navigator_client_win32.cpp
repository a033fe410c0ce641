#include "browser/navigator_client.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "browser/dde_session.h"
#include "browser/navigator_items.h"
#include "core/owned_text.h"
#include "core/win_handles.h"
#include "index/cache_location.h"
#include "index/navigator.h"

namespace {

const char kInternetSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char kAutodialValue[] = "EnableAutodial";

// The system's automatic dial-up switch, switched off for the lifetime of
// the object when it was on, and put back with the type it was read with.
class AutodialOff {
public:
    AutodialOff() {
        RegKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kInternetSettingsKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          key.receive()) != ERROR_SUCCESS) {
            key.release();
            return;
        }
        DWORD size = sizeof value_;
        if (RegQueryValueExA(key.get(), kAutodialValue, nullptr, &type_, value_, &size) != ERROR_SUCCESS ||
            size != sizeof value_)
            return;
        const BYTE off[4] = {};
        if (std::memcmp(value_, off, sizeof off) == 0)
            return;
        changed_ = RegSetValueExA(key.get(), kAutodialValue, 0, type_, off, sizeof off) == ERROR_SUCCESS;
    }

    ~AutodialOff() {
        if (!changed_)
            return;
        RegKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kInternetSettingsKey, 0, KEY_SET_VALUE, key.receive()) != ERROR_SUCCESS) {
            key.release();
            return;
        }
        RegSetValueExA(key.get(), kAutodialValue, 0, type_, value_, sizeof value_);
    }

    AutodialOff(const AutodialOff&) = delete;
    AutodialOff& operator=(const AutodialOff&) = delete;

    bool changed() const { return changed_; }

private:
    DWORD type_ = REG_DWORD;
    BYTE value_[4] = {};
    bool changed_ = false;
};

// Waits until the started browser offers its DDE service, at most the time
// it is given. The user interface is blocked meanwhile, as while Navigator
// answers a request.
void waitForBrowser() {
    DWORD start = GetTickCount();
    while (!isBrowserRunning() && GetTickCount() - start < kNavigatorStartTimeoutMs)
        Sleep(0);
}

// Brings the window titled as the browser's window information says to the
// front; silent when there is none.
void activateBrowserWindow(uint32_t windowId, char* buffer, size_t size) {
    char item[32];
    formatActivateItem(windowId, item, sizeof item);
    ddeRequest(NAME_ACTIVATE, item, nullptr);

    formatWindowInfoItem(windowId, item, sizeof item);
    DdeReply reply;
    if (!ddeRequest(NAME_WINDOW_INFO, item, &reply) || !reply)
        return;
    DdeReplyBytes bytes(reply);
    const char* title =
        windowTitleOfInfo(reinterpret_cast<const char*>(bytes.data()), bytes.size(), buffer, size);
    if (!title)
        return;
    HWND window = FindWindowA(nullptr, title);
    if (!window)
        return;
    if (IsIconic(window))
        OpenIcon(window);
    SetForegroundWindow(GetLastActivePopup(window));
}

bool verifyOptionIsNever() {
    return readCheckServer() == 0;
}

// The browser is not running: it will read the verify option when it
// starts, so the program may set it, after asking unless told not to.
// False when the user cancelled.
bool offerNeverVerify(bool withoutAsking, BrowserSession& session, BrowserQuestions& questions) {
    if (verifyOptionIsNever())
        return true;
    int answer = IDNO;
    if (withoutAsking) {
        answer = IDYES;
    } else if (!session.verifyPromptShown) {
        answer = questions.ask(MSG_OFFER_VERIFY_CHANGE);
        if (answer == IDCANCEL)
            return false;
        session.verifyPromptShown = true;
    }
    if (answer == IDYES)
        forceNeverVerify(session.savedCheckServer);
    return true;
}

// The browser runs and would not see a change: the user is told once.
bool noteVerifyByHand(BrowserSession& session, BrowserQuestions& questions) {
    if (session.verifyPromptShown || verifyOptionIsNever())
        return true;
    if (questions.ask(MSG_SET_VERIFY_BY_HAND) == IDCANCEL)
        return false;
    session.verifyPromptShown = true;
    return true;
}

}  // namespace

bool isBrowserRunning() {
    return ddeCanConnect(NAME_VERSION);
}

MessageCode openInBrowser(const OpenRequest& request, BrowserSession& session, BrowserQuestions& questions) {
    const char* url = request.url;
    MessageCode refusal = checkUrlToOpen(url);
    if (refusal != MSG_OK)
        return refusal;
    if (!isBrowserRunning()) {
        if (!offerNeverVerify(request.neverVerifyWithoutAsking, session, questions))
            return MSG_OK;
        return launchBrowser(url, request.untrusted);
    }
    if (!noteVerifyByHand(session, questions))
        return MSG_OK;

    size_t size = navigatorItemBufferSize(url);
    OwnedText buffer(static_cast<char*>(std::malloc(size)));
    if (!buffer)
        return MSG_OUT_OF_MEMORY;
    if (!formatOpenUrlItem(url, buffer.data(), size))
        return MSG_URL_NOT_OPENED;
    // An item longer than a DDE string can hold cannot be sent at all, though
    // the browser runs: it gets the URL on a command line instead, which a
    // running browser takes as a request to show it. The user has already
    // been told about the verify option for this running browser.
    if (std::strlen(buffer.get()) > kDdeItemLimit)
        return launchBrowser(url, request.untrusted);
    DdeReply reply;
    if (!ddeRequest(NAME_OPEN_URL, buffer.get(), &reply))
        return MSG_NO_DDE_CONNECTION;
    uint32_t windowId = 0;
    if (reply) {
        DdeReplyBytes bytes(reply);
        windowId = windowIdOfReply(bytes.data(), bytes.size());
    }
    if (request.activate && windowId != 0)
        activateBrowserWindow(windowId, buffer.data(), size);
    return MSG_OK;
}

MessageCode launchBrowser(const char* url, const UntrustedFolders& untrusted) {
    char program[MAX_PATH];
    if (!findBrowserProgram(untrusted, program, sizeof program))
        return MSG_BROWSER_NOT_STARTED;
    size_t size = browserArgumentLength(url) + 1;
    OwnedText argument(static_cast<char*>(std::malloc(size)));
    if (!argument)
        return MSG_OUT_OF_MEMORY;
    formatBrowserArgument(url, argument.data(), size);
    return startWithoutAutodial(program, argument.get()) > 32 ? MSG_OK : MSG_BROWSER_NOT_STARTED;
}

uintptr_t startWithoutAutodial(const char* program, const char* parameters) {
    // The browser starts in this program's folder: the current folder may
    // be one that a cache or a save filled, and a started program looks
    // there for what it loads.
    char folder[MAX_PATH];
    if (!executableFolder(folder, sizeof folder))
        return 0;
    AutodialOff autodial;
    uintptr_t result = reinterpret_cast<uintptr_t>(
        ShellExecuteA(nullptr, nullptr, program, parameters, folder, SW_SHOWNORMAL));
    // Only a start that switched dial-up off waits for the browser, so that
    // its first connection finds the switch still off.
    if (autodial.changed() && result > 32)
        waitForBrowser();
    return result;
}
