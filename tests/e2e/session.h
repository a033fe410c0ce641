// One session of the program for the tests that look at what it leaves for
// the next start.
#pragma once

#include "app_driver.h"
#include "doctest.h"

// Starts the program, lets `act` work it and ends it through "Beenden", so
// that it stores its settings and hidden lists.
template <class Act>
void runSession(Act act) {
    AppDriver app;
    REQUIRE(app.start());
    act(app);
    REQUIRE(app.closeThroughMenu());
}
