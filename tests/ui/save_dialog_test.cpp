#include "ui/dialogs/save_dialog.h"

#include <windows.h>

#include <string>

#include "doctest.h"

namespace {

// The filter list with its zero bytes shown as "|", up to its second zero.
std::string filterText(int mimeIndex, const char* localName) {
    char filter[kSaveFilterSize];
    buildSaveFilter(filter, sizeof filter, mimeIndex, localName);
    std::string text;
    for (size_t i = 0; i + 1 < sizeof filter; ++i) {
        if (filter[i] == '\0' && filter[i + 1] == '\0')
            return text + "|";
        text += filter[i] ? filter[i] : '|';
    }
    return "<no end>";
}

std::string folderOf(const char* path, size_t offset) {
    char folder[MAX_PATH] = "unchanged";
    return folderOfChosenPath(folder, sizeof folder, path, offset) ? folder : "<refused:" + std::string(folder) + ">";
}

}  // namespace

TEST_CASE("the save dialog offers the document's own type, then all files") {
    const std::string allFiles = "Alle Dateien (*.*)|*.*|";
    CHECK(filterText(0, "index.htm") == "HTML-Dateien (*.htm, *.html)|*.htm;*.html|" + allFiles);
    CHECK(filterText(1, "liesmich.txt") == "Textdateien (*.txt)|*.txt|" + allFiles);
    CHECK(filterText(2, "bild.gif") == "GIF-Dateien (*.gif)|*.gif|" + allFiles);
    CHECK(filterText(4, "ohne Punkt") == allFiles);
    CHECK(filterText(-1, nullptr) == allFiles);

    SUBCASE("a long extension gives all files alone instead of running past the buffer") {
        std::string name = "seite." + std::string(200, 'x');
        CHECK(filterText(3, name.c_str()) == allFiles);
    }
    SUBCASE("a buffer too small for the type keeps all files and the closing zeros") {
        char filter[32];
        buildSaveFilter(filter, sizeof filter, 2, "bild.gif");
        CHECK(std::string(filter) == "Alle Dateien (*.*)");
        CHECK(filter[22] == '\0');
        CHECK(filter[23] == '\0');
    }
}

TEST_CASE("the chosen folder is the dialog's path up to the file name") {
    CHECK(folderOf("C:\\Ziel\\index.htm", 8) == "C:\\Ziel\\");
    CHECK(folderOf("C:\\index.htm", 3) == "C:\\");
    CHECK(folderOf("Z:\\tmp\\(Mehrere Dateien)", 7) == "Z:\\tmp\\");
    // An offset that does not follow a folder names no folder at all: the
    // save must not fall back to whatever folder is current.
    CHECK(folderOf("C:index.htm", 2) == "<refused:>");
    CHECK(folderOf("index.htm", 0) == "<refused:>");
    CHECK(folderOf("C:\\Ziel\\index.htm", 40) == "<refused:>");
    char small[4];
    CHECK_FALSE(folderOfChosenPath(small, sizeof small, "C:\\Ziel\\index.htm", 8));
    CHECK(small[0] == '\0');
}
