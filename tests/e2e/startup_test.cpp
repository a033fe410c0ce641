#include "app_driver.h"
#include "doctest.h"

TEST_CASE("the program starts with its window titled Tarnview") {
    AppDriver app;
    REQUIRE(app.start());
    CHECK(app.windowText(app.mainWindow()) == "Tarnview");
    REQUIRE(app.closeWindow());
    CHECK(app.exitCode() == 0);
}
