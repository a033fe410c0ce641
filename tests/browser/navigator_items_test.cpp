#include <string>

#include "browser/navigator_items.h"
#include "doctest.h"

TEST_CASE("the open item quotes the URL and keeps its fields, however long the URL") {
    for (size_t length : {size_t{1}, size_t{1001}, size_t{1024}, size_t{5000}}) {
        std::string url = "http://h/" + std::string(length, 'a');
        std::string buffer(navigatorItemBufferSize(url.size()), '#');
        REQUIRE(formatOpenUrlItem(url.c_str(), &buffer[0], buffer.size()));
        CHECK(std::string(buffer.c_str()) == "\"" + url + "\",,0xFFFFFFFF,0,,,");
    }
    CHECK(navigatorItemBufferSize(10) == 1024);
    CHECK(navigatorItemBufferSize(2000) == 2022);
    char small[8] = "xxxxxxx";
    CHECK_FALSE(formatOpenUrlItem("http://h/", small, sizeof small));
    CHECK(small[0] == '\0');
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
