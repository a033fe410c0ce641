// An index the browser left damaged: cut short, its header broken, page
// counts and item offsets at their limits, texts without their terminator,
// lengths that lie. The program starts on each, shows every document that
// is still intact and nothing the browser never wrote, keeps answering, and
// never writes the index, neither at the start nor when reading it again.
// The damaged copies and what stays intact in each come from
// tools/damage_index.py.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "app_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "program_state.h"
#include "shown_documents.h"

namespace {

struct Variant {
    std::string name;
    bool refused;
    std::string what;
};

// The refusal of a cache without an index header, answered.
void answerRefusal(AppDriver& app) {
    HWND box = app.findMessageBox(10000);
    REQUIRE(box);
    CHECK(app.messageBoxText(box) == kNoCacheDirectoryText);
    app.pressButton(box, IDOK);
    REQUIRE(app.waitUntilGone(box));
}

}  // namespace

TEST_CASE("on every damaged index the program shows the intact documents, nothing else, and leaves the index alone") {
    const std::string manifest = fileBytes(damagedCache("variants.tsv"));
    REQUIRE(manifest != "<missing>");
    const std::map<std::string, WrittenDocument> written = writtenDocuments();
    std::vector<Variant> variants;
    for (const std::vector<std::string>& line : tabbedLines(manifest)) {
        REQUIRE(line.size() == 3);
        variants.push_back({line[0], line[1] == "1", line[2]});
    }
    REQUIRE(variants.size() > 30);

    AppDriver app;
    for (const Variant& variant : variants) {
        CAPTURE(variant.name);
        CAPTURE(variant.what);
        const std::string cache = damagedCache(variant.name);
        const std::string index = fileBytes(cache + "\\FAT.DB");
        REQUIRE(index != "<missing>");
        const std::vector<std::vector<std::string>> intact = tabbedLines(fileBytes(cache + "\\intact.tsv"));

        prepareFirstStart(cache);
        REQUIRE(app.start());
        if (variant.refused)
            answerRefusal(app);
        else
            CHECK_FALSE(app.findMessageBox(0));
        if (!app.listShowsDetails())
            app.command(kDetails);
        checkShown(shownDocuments(app), written, intact);

        // Read again, as F5 does: the same documents, and still no index
        // written.
        app.pressKey(VK_F5);
        if (variant.refused)
            answerRefusal(app);
        REQUIRE(app.waitUntilIdle());
        CHECK(app.sync());
        checkShown(shownDocuments(app), written, intact);
        CHECK(fileBytes(cache + "\\FAT.DB") == index);

        REQUIRE(app.closeThroughMenu());
        CHECK(app.exitCode() == 0);
        CHECK(fileBytes(cache + "\\FAT.DB") == index);
    }
}
