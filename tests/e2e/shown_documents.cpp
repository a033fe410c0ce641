#include "shown_documents.h"

#include <sstream>

#include "doctest.h"
#include "program_state.h"

const char kNoCacheDirectoryText[] =
    "Es wurde kein g\xFCltiges Cache-Verzeichnis gefunden!\n\nSie k\xF6nnen ein Verzeichnis mit dem Befehl "
    "Extras/Einstellungen festlegen.";

namespace {

const char kCacheRoot[] = "Netscape Cache";
// The list's columns.
const int kUrlColumn = 2;
const int kFileColumn = 3;

}  // namespace

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

std::string damagedCache(const std::string& name) {
    return fixtureCache("damaged\\" + name);
}

std::map<std::string, WrittenDocument> writtenDocuments() {
    std::map<std::string, WrittenDocument> written;
    for (const std::vector<std::string>& line : tabbedLines(fileBytes(damagedCache("written.tsv")))) {
        REQUIRE(line.size() == 3);
        written[line[0]] = {line[1], line[2]};
    }
    REQUIRE(written.size() > 10);
    return written;
}

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
