#include <cstring>
#include <memory>
#include <string>

#include "doctest.h"
#include "extract/local_names.h"

namespace {

std::string proposed(const char* url, int32_t mimeIndex, const char* title = nullptr) {
    SaveItem item(url, "M0000001.htm", mimeIndex, title);
    REQUIRE(item.status() == 0);
    return item.localName();
}

std::string sanitized(const char* text) {
    char buffer[300];
    std::strcpy(buffer, text);
    return sanitizeFileName(buffer);
}

std::string shortened(const char* text) {
    char out[kNameBufferSize];
    shortenName(out, sizeof out, text);
    return out;
}

std::string ordinary(const char* name) {
    char buffer[kNameBufferSize + 8];
    std::strcpy(buffer, name);
    makeOrdinaryFileName(buffer, sizeof buffer);
    return buffer;
}

struct Names {
    std::unique_ptr<TargetNames> list{new TargetNames()};
    Names& add(const char* name) {
        list->insertString(name);
        return *this;
    }
    std::string unique(const char* name) const {
        char out[kNameBufferSize];
        std::memset(out, 'x', sizeof out);
        makeUniqueName(out, name, *list);
        return out;
    }
};

}  // namespace

TEST_CASE("a local name comes from the URL's file name, else from the title or the path") {
    CHECK(proposed("http://h/a/b.gif", 2) == "b.gif");
    CHECK(proposed("http://h/cgi-bin/show?id=7", 0) == "show.htm");
    CHECK(proposed("http://h/docs/", 1) == "docs.txt");
    CHECK(proposed("http://h/", 0) == "unknown.htm");
    CHECK(proposed("http://h/x/", 0, "Price list: 1996") == "Price list.htm");
    CHECK(proposed("http://h/x/", 2, "Price list: 1996") == "x.gif");
    CHECK(proposed("http://h/pics/", 2) == "pics.gif");
    CHECK(proposed("http://h/index.html", 0) == "index.html");
    CHECK(proposed("http://h/page", 0) == "page.htm");
    CHECK(proposed("http://h/notes.1996", 0) == "notes.1996");
    CHECK(proposed("http://h/data", 7) == "data");
    CHECK(proposed("http://h/%%", 0) == "unknown.htm");
    CHECK(proposed("http://h/~me/my page.htm", 0) == "my page.htm");
    CHECK(proposed("http://h/a#b", 0, "T#1 100%") == "a.htm");
    CHECK(proposed("http://h/d/", 0, "T#1 100%") == "T-1.htm");
}

TEST_CASE("forbidden characters become dashes, trimmed at both ends") {
    CHECK(sanitized("/docs/api") == "docs-api");
    CHECK(sanitized("a#b%c") == "a-b-c");
    CHECK(sanitized("a\\b:c*d?e<f>g\"h|i") == "a-b-c-d-e-f-g-h-i");
    CHECK(sanitized("tab\there") == "tab-here");
    CHECK(sanitized("~ok name") == "~ok name");
    CHECK(sanitized("%%") == "");
    CHECK(sanitized("-") == "");
    CHECK(sanitized("") == "");
    CHECK(sanitized("caf\xE9") == "caf\xE9");
}

TEST_CASE("shortenName cuts long texts and ends before the last space or slash") {
    CHECK(shortened("Welcome to my home page") == "Welcome to my home");
    CHECK(shortened("Welcome") == "Welcome");
    CHECK(shortened("/docs/api/") == "/docs/api");
    CHECK(shortened(" lead") == " lead");
    std::string longTitle(100, 'x');
    CHECK(shortened(longTitle.c_str()) == std::string(63, 'x'));
    std::string cutAtSpace = std::string(60, 'a') + " bcdefgh";
    CHECK(shortened(cutAtSpace.c_str()) == std::string(60, 'a'));
}

TEST_CASE("makeUniqueName numbers from 2 before the extension") {
    Names names;
    names.add("page.htm").add("PAGE (2).htm").add("README").add("a.b.c");
    CHECK(names.unique("page.htm") == "page (3).htm");
    CHECK(names.unique("README") == "README (2)");
    CHECK(names.unique("a.b.c") == "a.b (2).c");
    CHECK(names.unique("fresh.htm") == "fresh (2).htm");
}

TEST_CASE("device names and trailing dots or spaces are changed into ordinary names") {
    CHECK(ordinary("con.htm") == "con-.htm");
    CHECK(ordinary("CON") == "CON-");
    CHECK(ordinary("Aux.tar.gz") == "Aux-.tar.gz");
    CHECK(ordinary("nul .txt") == "nul- .txt");
    CHECK(ordinary("com1.gif") == "com1-.gif");
    CHECK(ordinary("LPT9") == "LPT9-");
    CHECK(ordinary("page.") == "page");
    CHECK(ordinary("page . .") == "page");
    CHECK(ordinary("con.") == "con-");
    CHECK(ordinary("...") == "unknown");
    CHECK(ordinary("com0.htm") == "com0.htm");
    CHECK(ordinary("lpt10.htm") == "lpt10.htm");
    CHECK(ordinary("console.htm") == "console.htm");
    CHECK(ordinary("con-.htm") == "con-.htm");
    CHECK(ordinary("COM\xB9.htm") == "COM\xB9-.htm");
    CHECK(ordinary("lpt\xB2.txt") == "lpt\xB2-.txt");
    CHECK(ordinary("COM\xB3") == "COM\xB3-");
    CHECK(ordinary("com\xB4.htm") == "com\xB4.htm");
    CHECK(ordinary("conin$") == "conin$-");
    CHECK(ordinary("CONOUT$ .htm") == "CONOUT$- .htm");
    CHECK(ordinary("conout$x.htm") == "conout$x.htm");

    CHECK(proposed("http://h/CON", 0) == "CON-.htm");
    CHECK(proposed("http://h/prn.gif", 2) == "prn-.gif");
    CHECK(proposed("http://h/d/readme.", 1) == "readme");
    CHECK(ordinary("..") == "unknown");
}

TEST_CASE("long names are cut before the extension to fit with any number") {
    std::string base(259, 'n');
    std::string url = "http://h/" + base;
    std::string name = proposed(url.c_str(), 0);
    CHECK(name.size() == kMaxLocalNameLength);
    CHECK(name == std::string(kMaxLocalNameLength - 4, 'n') + ".htm");

    std::string dotted = "http://h/" + std::string(250, 'd') + ".html";
    CHECK(proposed(dotted.c_str(), 0) == std::string(kMaxLocalNameLength - 5, 'd') + ".html");

    Names names;
    names.add(name.c_str());
    std::string numbered = names.unique(name.c_str());
    CHECK(numbered.size() == kMaxLocalNameLength);
    CHECK(numbered == std::string(kMaxLocalNameLength - 8, 'n') + " (2).htm");

    std::string hugeExtension = "a." + std::string(300, 'e');
    std::string unique = names.unique(hugeExtension.c_str());
    CHECK(unique.size() == kMaxLocalNameLength);
    CHECK(unique.substr(unique.size() - 4) == " (2)");

    char shortBuffer[16] = "abcdefghij.html";
    CHECK(makeOrdinaryFileName(shortBuffer, 8));
    CHECK(std::string(shortBuffer) == "ab.html");
    char extensionOnly[16] = "abcdefghij.html";
    CHECK(makeOrdinaryFileName(extensionOnly, 5));
    CHECK(std::string(extensionOnly) == "abcd");
}

TEST_CASE("renaming keeps the old name until the new one is stored") {
    SaveItem item("http://h/a.htm", "M1.htm", 0, nullptr);
    CHECK(item.rename("b.htm"));
    CHECK(std::string(item.localName()) == "b.htm");
    CHECK(std::string(item.sourceFile()) == "M1.htm");
    CHECK(item.isHtml());
    CHECK(static_cast<bool>(item.url().fileName));
}
