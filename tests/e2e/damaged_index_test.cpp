// An index the browser left damaged: cut short, its header broken, page
// counts and item offsets at their limits, texts without their terminator,
// lengths that lie. The program starts on each, shows every document that
// is still intact and nothing the browser never wrote, keeps answering, and
// never writes the index, neither at the start nor when reading it again.
// The damaged copies and what stays intact in each come from
// tools/damage_index.py.
#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "program_state.h"

namespace {

const char kCacheRoot[] = "Netscape Cache";
const char kNoCacheDirectoryText[] =
    "Es wurde kein g\xFCltiges Cache-Verzeichnis gefunden!\n\nSie k\xF6nnen ein Verzeichnis mit dem Befehl "
    "Extras/Einstellungen festlegen.";
// The list's columns.
const int kUrlColumn = 2;
const int kFileColumn = 3;

std::vector<std::vector<std::string>> tabbedLines(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        std::vector<std::string> fields;
        std::istringstream cells(line);
        std::string field;
        while (std::getline(cells, field, '\t'))
            fields.push_back(field);
        lines.push_back(fields);
    }
    return lines;
}

struct WrittenDocument {
    std::string file;
    std::string host;
};

struct Variant {
    std::string name;
    bool refused;
    std::string what;
};

std::string damagedCache(const std::string& name) {
    return fixtureCache("damaged\\" + name);
}

// The documents the program shows under the cache root, by URL with their
// local files, and the host folders of the tree.
struct Shown {
    std::multimap<std::string, std::string> files;
    std::set<std::string> hosts;
};

Shown shownDocuments(AppDriver& app) {
    Shown shown;
    if (!app.selectTreeLabel(kCacheRoot))
        return shown;
    for (const std::vector<std::string>& row : app.listRows())
        if (row.size() > kFileColumn)
            shown.files.emplace(row[kUrlColumn], row[kFileColumn]);
    for (const std::string& host : app.folderLabels(kCacheRoot))
        shown.hosts.insert(host);
    return shown;
}

// Every intact document is shown; whatever is shown is a document the
// browser wrote, with its own file, once; the tree has exactly the hosts of
// the documents shown.
void checkShown(const Shown& shown, const std::map<std::string, WrittenDocument>& written,
                const std::vector<std::vector<std::string>>& intact) {
    for (const std::vector<std::string>& document : intact) {
        CAPTURE(document[0]);
        CHECK(shown.files.count(document[0]) == 1);
        CHECK(shown.hosts.count(document[1]) == 1);
    }
    std::set<std::string> hostsOfShown;
    for (const auto& document : shown.files) {
        CAPTURE(document.first);
        auto known = written.find(document.first);
        REQUIRE(known != written.end());
        CHECK(shown.files.count(document.first) == 1);
        CHECK(document.second == known->second.file);
        hostsOfShown.insert(known->second.host);
    }
    CHECK(shown.hosts == hostsOfShown);
}

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
    std::map<std::string, WrittenDocument> written;
    for (const std::vector<std::string>& line : tabbedLines(fileBytes(damagedCache("written.tsv")))) {
        REQUIRE(line.size() == 3);
        written[line[0]] = {line[1], line[2]};
    }
    REQUIRE(written.size() > 10);
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
