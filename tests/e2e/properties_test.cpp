#include <string>

#include "app_driver.h"
#include "dialog_driver.h"
#include "doctest.h"
#include "program_state.h"
#include "resources/dialog_ids.h"
#include "session.h"
#include "support/local_time.h"

namespace {

const int kProperties = 1106;
const int kPrevious = IDC_PROP_PREVIOUS;
const int kNext = IDC_PROP_NEXT;

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
    return findDialogShowing(app, IDC_PROP_TITLE, firstTitle);
}

}  // namespace

TEST_CASE_FIXTURE(ProgramSession, "the properties sheet shows a document and steps through several") {
    startOn(fixtureCache("basic"), "www.zebra.de");

    SUBCASE("one document: its fields, dates in local time, no step buttons") {
        REQUIRE(app.selectListRow(2));
        REQUIRE(focusList(app));
        HWND sheet = openSheet(app, "Zebra Startseite");
        REQUIRE(sheet);
        CHECK(captionShows(sheet, "Zebra Startseite"));
        CHECK(field(sheet, IDC_PROP_URL) == "http://www.zebra.de/");
        CHECK(field(sheet, IDC_PROP_TYPE) == "text/html");
        CHECK(field(sheet, IDC_PROP_LOCAL_FILE) == "M0E20001.htm");
        CHECK(field(sheet, IDC_PROP_SIZE) == "1,50 KB (1.536 Bytes)");
        CHECK(field(sheet, IDC_PROP_MODIFIED) == longDateTime(836215200));
        CHECK(field(sheet, IDC_PROP_LAST_ACCESS) == longDateTime(837954300));
        CHECK(field(sheet, IDC_PROP_EXPIRES) == "(Unbekannt)");
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
        CHECK(field(sheet, IDC_PROP_SIZE) == "146 KB (150.000 Bytes)");
        CHECK(IsWindowVisible(previous));
        CHECK_FALSE(IsWindowEnabled(previous));
        CHECK(IsWindowEnabled(next));

        click(next);
        REQUIRE(waitUntil([&] { return field(sheet, IDC_PROP_TITLE) == "leer.txt"; }));
        CHECK(captionShows(sheet, "leer.txt"));
        CHECK(field(sheet, IDC_PROP_SIZE) == "0 Bytes");
        CHECK(field(sheet, IDC_PROP_LAST_ACCESS) == "(Unbekannt)");
        CHECK(IsWindowEnabled(previous));
        CHECK(IsWindowEnabled(next));

        click(next);
        REQUIRE(waitUntil([&] { return field(sheet, IDC_PROP_TITLE) == "Zebra Startseite"; }));
        CHECK(captionShows(sheet, "Zebra Startseite"));
        CHECK_FALSE(IsWindowEnabled(next));
        CHECK(focusOf(sheet) == previous);

        click(previous);
        click(previous);
        REQUIRE(waitUntil([&] { return field(sheet, IDC_PROP_TITLE) == "bild.gif"; }));
        CHECK(captionShows(sheet, "bild.gif"));
        CHECK_FALSE(IsWindowEnabled(previous));
        CHECK(focusOf(sheet) == next);
        click(findControl(sheet, IDCANCEL));
        CHECK(app.waitUntilGone(sheet));
    }
    REQUIRE(app.closeThroughMenu());
}
