// Sessions of the program as the end-to-end tests begin and end them.
#pragma once

#include <string>

#include "app_driver.h"
#include "doctest.h"
#include "program_state.h"

// Starts the program, lets `act` work it and ends it through "Beenden", so
// that it stores its settings and hidden lists.
template <class Act>
void runSession(Act act) {
    AppDriver app;
    REQUIRE(app.start());
    act(app);
    REQUIRE(app.closeThroughMenu());
}

// The fixture of most tests: the program started on a test cache as a user
// starts it, up and done with its loading pass, with a host folder open
// when the test names one. The test works it through `app`.
struct ProgramSession {
    AppDriver app;

    // Starts the program in the state the test has prepared (with
    // prepareFirstStart and what it added), or again after it ended, and
    // opens the folder labelled `folder` ("" for the one it opens itself).
    void start(const std::string& folder = "") {
        REQUIRE(app.start());
        if (!folder.empty())
            REQUIRE(app.selectTreeLabel(folder));
    }

    // The same in the state of a first start on the cache in `directory`.
    void startOn(const std::string& directory, const std::string& folder = "") {
        prepareFirstStart(directory);
        start(folder);
    }
};
