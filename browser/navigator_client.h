// Opening a cached document in Navigator: over DDE when the browser runs,
// else by starting it with the URL, with the browser's verify option and
// the system's automatic dial-up handled on the way.
#pragma once

#include <cstdint>

#include "browser/browser_program.h"
#include "core/message_code.h"
#include "index/cache_location.h"

// The questions the browser integration asks the user; the window code
// shows them as message boxes and returns the answer (IDOK, IDCANCEL,
// IDYES, IDNO).
class BrowserQuestions {
public:
    virtual ~BrowserQuestions() = default;
    virtual int ask(MessageCode code) = 0;
};

// What one run of the program remembers about the browser: whether the
// user has been asked about the verify option, and the option's setting
// from before the program changed it, which restoreCheckServer puts back at
// the end of the run.
struct BrowserSession {
    bool verifyPromptShown = false;
    uint8_t savedCheckServer = kCheckServerUnknown;
};

// One document to show in the browser.
struct OpenRequest {
    const char* url = nullptr;
    // Brings the browser's window to the front.
    bool activate = true;
    // The user has chosen to have the verify option set to "never" without
    // being asked.
    bool neverVerifyWithoutAsking = false;
    // No program inside these folders is started.
    UntrustedFolders untrusted;
};

// Shows the request's URL in Navigator. 0 also when the user cancelled a
// question; MSG_URL_NOT_OPENED or MSG_SCHEME_NOT_OPENED for a URL that is
// not handed to the browser at all (see checkUrlToOpen),
// MSG_BROWSER_NOT_STARTED, MSG_NO_DDE_CONNECTION or -1 otherwise.
MessageCode openInBrowser(const OpenRequest& request, BrowserSession& session, BrowserQuestions& questions);

// Whether a Navigator offers its DDE service.
bool isBrowserRunning();

// Starts the browser (findBrowserProgram) with `url` as its one quoted
// command-line argument; a running browser shows the URL as well. 0 when
// started, MSG_BROWSER_NOT_STARTED or -1 otherwise.
MessageCode launchBrowser(const char* url, const UntrustedFolders& untrusted);

// Starts `program` with `parameters` through the shell, in this program's
// own folder, while the system's automatic dial-up is switched off, and puts
// the switch back afterwards. The shell's result: above 32 means started.
uintptr_t startWithoutAutodial(const char* program, const char* parameters);
