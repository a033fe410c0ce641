#include <string>

#include "browser/navigator_items.h"
#include "doctest.h"

namespace {

std::string argumentOf(const std::string& url) {
    std::string out(browserArgumentLength(url.c_str()) + 1, '#');
    REQUIRE(formatBrowserArgument(url.c_str(), &out[0], out.size()));
    CHECK(out.c_str() == out.substr(0, out.size() - 1));
    return out.c_str();
}

std::string openItemOf(const std::string& url) {
    std::string out(navigatorItemBufferSize(url.c_str()), '#');
    if (!formatOpenUrlItem(url.c_str(), &out[0], out.size()))
        return "<refused>";
    return out.c_str();
}

}  // namespace

TEST_CASE("a URL goes on the browser's command line as one quoted argument") {
    CHECK(argumentOf("http://www.zebra.de/") == "\"http://www.zebra.de/\"");
    // Blanks and quotes would end the argument and start options of the
    // browser's own.
    CHECK(argumentOf("http://evil.example/a b --some-option=\"x\" -P x") ==
          "\"http://evil.example/a%20b%20--some-option=%22x%22%20-P%20x\"");
    CHECK(argumentOf("http://h/\t\r\n\x1F\x7F\xE4") == "\"http://h/%09%0D%0A%1F%7F\xE4\"");
    // Backslashes before the closing quote would escape it; inside they are
    // the browser's.
    CHECK(argumentOf("file:///C|/a\\b\\\\") == "\"file:///C|/a\\b%5C%5C\"");
    CHECK(argumentOf("") == "\"\"");
    {
        std::string url = "http://h/" + std::string(5000, 'a');
        CHECK(argumentOf(url) == "\"" + url + "\"");
    }
    {
        char small[8] = "xxxxxxx";
        CHECK_FALSE(formatBrowserArgument("http://h/", small, sizeof small));
        CHECK(small[0] == '\0');
    }
}

TEST_CASE("the open item keeps the URL in its own field, however the URL reads") {
    for (size_t length : {size_t{1}, size_t{1001}, size_t{1024}, size_t{5000}}) {
        std::string url = "http://h/" + std::string(length, 'a');
        CHECK(openItemOf(url) == "\"" + url + "\",,0xFFFFFFFF,0,,,");
    }
    // A quote would close the URL's field and fill the next one, where the
    // browser saves the document.
    CHECK(openItemOf("http://evil.example/\",\"C:\\x\\p.exe\",0xFFFFFFFF,0x0,,,\"") ==
          "\"http://evil.example/%22,%22C:\\x\\p.exe%22,0xFFFFFFFF,0x0,,,%22\",,0xFFFFFFFF,0,,,");
    {
        std::string quotes(3000, '"');
        std::string item = openItemOf("http://h/" + quotes);
        CHECK(item.size() == 2 + 9 + 3 * quotes.size() + 17);
        CHECK(item.find("\"", 1) == item.size() - 18);
    }
    CHECK(openItemOf("http://h/a\nb") == "<refused>");
    CHECK(openItemOf("http://h/a\x7F") == "<refused>");
    CHECK(navigatorItemBufferSize("http://h/") == 1024);
    CHECK(navigatorItemBufferSize(std::string(2000, 'a').c_str()) == 2022);
    char small[8] = "xxxxxxx";
    CHECK_FALSE(formatOpenUrlItem("http://h/", small, sizeof small));
    CHECK(small[0] == '\0');
}

TEST_CASE("only documents of the schemes a browser caches are opened") {
    for (const char* url : {"http://www.zebra.de/", "HTTPS://h/", "ftp://h/a.txt", "Gopher://h/1", "file:///C|/a.htm",
                            "http:relative"})
        CHECK_MESSAGE(checkUrlToOpen(url) == MSG_OK, url);
    for (const char* url : {"javascript://x/%0Aalert(document.cookie)", "JavaScript:alert(1)", "mailto:a@b.example",
                            "about:cache", "news:comp.lang", "httpx://h/", "htt p://h/", "http", "", "h/ttp:x",
                            "\xE4http://h/"})
        CHECK_MESSAGE(checkUrlToOpen(url) == MSG_SCHEME_NOT_OPENED, url);
    // Taken for options of the browser, or not a URL at all.
    for (const char* url : {"-P x", "--remote=http://h/", "/safe-mode", "//h/a.htm", "http://h/a\tb", "http://h/\x7F",
                            "http://h/\r\n-P"})
        CHECK_MESSAGE(checkUrlToOpen(url) == MSG_URL_NOT_OPENED, url);
}

TEST_CASE("window ids and the items that name them") {
    const unsigned char reply[] = {0x2A, 0x01, 0x00, 0x80, 0x77};
    CHECK(windowIdOfReply(reply, sizeof reply) == 0x8000012Au);
    CHECK(windowIdOfReply(reply, 3) == 0);
    CHECK(windowIdOfReply(nullptr, 0) == 0);
    char item[32];
    formatActivateItem(0x8000012Au, item, sizeof item);
    CHECK(std::string(item) == "8000012a,0x0");
    formatWindowInfoItem(0xABu, item, sizeof item);
    CHECK(std::string(item) == "ab");
}

TEST_CASE("the window title is the last quoted string of the window information") {
    char out[64];
    auto title = [&](const std::string& reply) -> std::string {
        const char* found = windowTitleOfInfo(reply.data(), reply.size(), out, sizeof out);
        return found ? found : "<none>";
    };
    CHECK(title("\"http://h/a.htm\",\"Seite\"") == "Seite");
    CHECK(title(std::string("\"u\",\"Seite\"\0tail", 16)) == "Seite");
    CHECK(title("\"http://h/a.htm\",\"Seite\" ") == "<none>");
    CHECK(title("Seite\"") == "Seite");
    CHECK(title("\"") == "<none>");
    CHECK(title("") == "<none>");
    // A reply without a NUL is read no further than its size.
    const char unterminated[] = {'"', 'T', '"'};
    CHECK(std::string(windowTitleOfInfo(unterminated, sizeof unterminated, out, sizeof out)) == "T");
    // A reply longer than the buffer is cut, and then ends in no quote.
    std::string longReply = "\"" + std::string(100, 'x') + "\"";
    CHECK(title(longReply) == "<none>");
}
