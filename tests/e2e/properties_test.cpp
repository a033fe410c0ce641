#include <string>

#include "app_driver.h"
#include "dialog_driver.h"
#include "doctest.h"
#include "program_state.h"
#include "support/local_time.h"

namespace {

const int kProperties = 1106;
const int kPrevious = 201;
const int kNext = 202;

std::string field(HWND sheet, int id) {
    return controlText(findControl(sheet, id));
}

// The sheet's caption is formed by the platform around the title.
bool captionShows(HWND sheet, const std::string& title) {
    std::string caption = controlText(sheet);
    return caption.size() > title.size() && caption.find(title) != std::string::npos;
}

HWND openSheet(const AppDriver& app, const std::string& firstTitle) {
    postCommand(app, kProperties);
    return findDialogShowing(app, 102, firstTitle);
}

}  // namespace

TEST_CASE("the properties sheet shows a document and steps through several") {
    prepareFirstStart(fixtureCache("basic"));
    AppDriver app;
    REQUIRE(app.start());
    REQUIRE(app.selectTreeLabel("www.zebra.de"));

    SUBCASE("one document: its fields, dates in local time, no step buttons") {
        REQUIRE(app.selectListRow(2));
        REQUIRE(focusList(app));
        HWND sheet = openSheet(app, "Zebra Startseite");
        REQUIRE(sheet);
        CHECK(captionShows(sheet, "Zebra Startseite"));
        CHECK(field(sheet, 103) == "http://www.zebra.de/");
        CHECK(field(sheet, 104) == "text/html");
        CHECK(field(sheet, 105) == "M0E20001.htm");
        CHECK(field(sheet, 106) == "1,50 KB (1.536 Bytes)");
        CHECK(field(sheet, 107) == longDateTime(836215200));
        CHECK(field(sheet, 108) == longDateTime(837954300));
        CHECK(field(sheet, 109) == "(Unbekannt)");
        CHECK(longDateTime(837954300).find("1996") != std::string::npos);
        CHECK_FALSE(IsWindowVisible(findControl(sheet, kPrevious)));
        CHECK_FALSE(IsWindowVisible(findControl(sheet, kNext)));
        click(findControl(sheet, IDOK));
        CHECK(app.waitUntilGone(sheet));
    }
    SUBCASE("three documents: << and >> step, the caption follows, the focus leaves a button that goes grey") {
        for (int row = 0; row < 3; ++row)
            REQUIRE(app.selectListRow(row));
        REQUIRE(focusList(app));
        HWND sheet = openSheet(app, "bild.gif");
        REQUIRE(sheet);
        HWND previous = findControl(sheet, kPrevious);
        HWND next = findControl(sheet, kNext);
        CHECK(captionShows(sheet, "bild.gif"));
        CHECK(field(sheet, 106) == "146 KB (150.000 Bytes)");
        CHECK(IsWindowVisible(previous));
        CHECK_FALSE(IsWindowEnabled(previous));
        CHECK(IsWindowEnabled(next));

        click(next);
        REQUIRE(waitUntil([&] { return field(sheet, 102) == "leer.txt"; }));
        CHECK(captionShows(sheet, "leer.txt"));
        CHECK(field(sheet, 106) == "0 Bytes");
        CHECK(field(sheet, 108) == "(Unbekannt)");
        CHECK(IsWindowEnabled(previous));
        CHECK(IsWindowEnabled(next));

        click(next);
        REQUIRE(waitUntil([&] { return field(sheet, 102) == "Zebra Startseite"; }));
        CHECK(captionShows(sheet, "Zebra Startseite"));
        CHECK_FALSE(IsWindowEnabled(next));
        CHECK(focusOf(sheet) == previous);

        click(previous);
        click(previous);
        REQUIRE(waitUntil([&] { return field(sheet, 102) == "bild.gif"; }));
        CHECK(captionShows(sheet, "bild.gif"));
        CHECK_FALSE(IsWindowEnabled(previous));
        CHECK(focusOf(sheet) == next);
        click(findControl(sheet, IDCANCEL));
        CHECK(app.waitUntilGone(sheet));
    }
    REQUIRE(app.closeThroughMenu());
}
