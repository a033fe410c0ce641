#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "doctest.h"
#include "extract/html_scanner.h"

namespace {

// The chunks of `html`, a tag chunk written as "[text]" and a text chunk as
// "(text)".
std::string chunks(const char* html) {
    HtmlScanner scanner(html);
    std::string out;
    while (scanner.nextChunk()) {
        std::string text(scanner.chunkStart(), scanner.chunkEnd());
        out += scanner.tagIndex() >= 0 ? "[" + text + "]" : "(" + text + ")";
    }
    return out;
}

struct Link {
    std::string attribute;  // the whole extent
    std::string value;
    uint32_t flags;
    char quote;
};

// The links of the first tag chunk of `html`.
std::vector<Link> links(const char* html) {
    HtmlScanner scanner(html);
    std::vector<Link> found;
    while (scanner.nextChunk()) {
        if (scanner.tagIndex() < 0)
            continue;
        while (scanner.nextLinkAttribute()) {
            found.push_back({std::string(scanner.attributeStart(), scanner.attributeLength()),
                             std::string(scanner.valueStart(), scanner.valueLength()), scanner.linkFlags(),
                             scanner.valueQuote()});
        }
        break;
    }
    return found;
}

}  // namespace

TEST_CASE("a page is cut into text chunks and single known tags") {
    CHECK(chunks("x<A HREF=a>y</a>z") == "(x)[<A HREF=a>](y</a>z)");
    CHECK(chunks("<p><applet code=a><area href=b>") == "(<p>)[<applet code=a>][<area href=b>]");
    CHECK(chunks("<img src=a><img src=b>") == "[<img src=a>][<img src=b>]");
    CHECK(chunks("<td1 background=x><tdx background=y>") == "[<td1 background=x>](<tdx background=y>)");
    CHECK(chunks("plain") == "(plain)");
    CHECK(chunks("") == "");
}

TEST_CASE("comments keep the tags in them inside a text chunk") {
    CHECK(chunks("<!-- <a href=x> -->y<a href=z>") == "(<!-- <a href=x> -->y)[<a href=z>]");
    CHECK(chunks("<!---><a href=z>") == "(<!--->)[<a href=z>]");
    CHECK(chunks("<!--x><a href=z>") == "(<!--x>)[<a href=z>]");
    CHECK(chunks("<COMMENT><img src=a></Comment><img src=b>") == "(<COMMENT><img src=a></Comment>)[<img src=b>]");
    CHECK(chunks("<!-- never closed <a href=x>") == "(<!-- never closed <a href=x>)");
    CHECK(chunks("<comment><a href=x>") == "(<comment><a href=x>)");
}

TEST_CASE("an unterminated tag runs to the end of the text, a NUL ends the text") {
    CHECK(chunks("a<img src=x") == "(a)[<img src=x]");
    CHECK(chunks("<p") == "(<p)");
    CHECK(chunks("<") == "(<)");
    CHECK(chunks("<a href=x>y\0<img src=z>") == "[<a href=x>](y)");
}

TEST_CASE("link attributes with and without quotes") {
    std::vector<Link> found = links("<IMG SRC=i.gif WIDTH=10 LowSrc=\"  low.gif\" usemap=#m vrml='w'>");
    REQUIRE(found.size() == 4);
    CHECK(found[0].attribute == "SRC=i.gif");
    CHECK(found[0].value == "i.gif");
    CHECK(found[0].flags == InlineMedia);
    CHECK(found[0].quote == 0);
    CHECK(found[1].attribute == "LowSrc=\"  low.gif\"");
    CHECK(found[1].value == "low.gif");
    CHECK(found[1].quote == '"');
    CHECK(found[1].flags == (InlineMedia | DropAttributeIfMissing));
    CHECK(found[2].value == "#m");
    CHECK(found[2].flags == (DocumentLink | DropAttributeIfMissing));
    CHECK(found[3].value == "w");
    CHECK(found[3].attribute == "vrml='w'");
    CHECK(found[3].quote == '\'');

    found = links("<a name=x href = \"b.htm\" >");
    REQUIRE(found.size() == 1);
    CHECK(found[0].attribute == "href = \"b.htm\"");
    CHECK(found[0].flags == DocumentLink);

    found = links("<applet code=A.class codebase=cls>");
    REQUIRE(found.size() == 2);
    CHECK(found[0].flags == (InlineMedia | DropAttributeIfMissing));
    CHECK(found[1].flags == (DocumentLink | CodeBaseLink));
}

TEST_CASE("only the pairs of the rule table are links") {
    CHECK(links("<a src=x>").empty());
    CHECK(links("<img href=x>").empty());
    CHECK(links("<a hrefx=y>").empty());
    CHECK(links("<a href=>").empty());
    CHECK(links("<a href=\"\">").empty());
    CHECK(links("<a href>").empty());
    CHECK(links("<base href=b/>")[0].flags == (DocumentLink | BaseLink));
    CHECK(links("<embed src=s.mid>")[0].flags == (InlineMedia | DropTagIfMissing));
    CHECK(links("<table background=t.gif>")[0].flags == (InlineMedia | DropAttributeIfMissing));
    CHECK(links("<form action=/cgi>")[0].flags == DocumentLink);
    CHECK(links("<a 1href=x>").empty());
    CHECK(links("<a data-x=1 href=x>").empty());
}

TEST_CASE("a value ends at a blank, a quote or the tag's end") {
    std::vector<Link> found = links("<a href=x.htm>");
    CHECK(found[0].value == "x.htm");
    found = links("<a href=\"x y.htm\">");
    CHECK(found[0].value == "x y.htm");
    found = links("<a href=\"unterminated>text");
    CHECK(found[0].value == "unterminated");
    CHECK(found[0].attribute == "href=\"unterminated");
    // Single quotes delimit a value as double quotes do, and each leaves
    // the other kind inside the value.
    found = links("<a href='x y.htm'>");
    CHECK(found[0].value == "x y.htm");
    found = links("<a href='say \"hi\".htm' title=x>");
    CHECK(found[0].value == "say \"hi\".htm");
    found = links("<a href=\"it's.htm\">");
    CHECK(found[0].value == "it's.htm");
    found = links("<a href='unterminated>text");
    CHECK(found[0].attribute == "href='unterminated");
    found = links("<a href=\"x.htm\"href=y.htm>");
    REQUIRE(found.size() == 2);
    CHECK(found[1].value == "y.htm");
}

TEST_CASE("a page cut inside a tag never makes the scanner read past its end") {
    const char* cuts[] = {"<a href=", "<a href= ", "<a href=\"", "<a href=\" ", "<a href='", "<a href",
                          "<a ",      "<a",        "<img src=\"a", "<img src='a"};
    for (const char* cut : cuts) {
        // A copy of exactly the text's size, so that the sanitizers see any
        // read behind its NUL.
        std::vector<char> text(cut, cut + std::strlen(cut) + 1);
        HtmlScanner scanner(text.data());
        int found = 0;
        while (scanner.nextChunk()) {
            CHECK(scanner.chunkEnd() <= text.data() + text.size() - 1);
            while (scanner.nextLinkAttribute())
                ++found;
        }
        CHECK_MESSAGE(found <= 1, cut);
    }
    std::vector<Link> last = links("<img src=\"a");
    REQUIRE(last.size() == 1);
    CHECK(last[0].value == "a");
}

TEST_CASE("arbitrary bytes are scanned within the text") {
    uint32_t seed = 1996;
    const char alphabet[] = "<>!-=\" \t\naAhHrReEfF/sScCiImMgGoObBdD#?\x01\x80";
    for (int round = 0; round < 2000; ++round) {
        std::vector<char> text;
        size_t length = (seed >> 8) % 40;
        for (size_t i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            text.push_back(alphabet[(seed >> 16) % (sizeof alphabet - 1)]);
        }
        text.push_back('\0');
        HtmlScanner scanner(text.data());
        const char* previousEnd = text.data();
        while (scanner.nextChunk()) {
            REQUIRE(scanner.chunkStart() == previousEnd);
            REQUIRE(scanner.chunkEnd() > scanner.chunkStart());
            REQUIRE(scanner.chunkEnd() <= text.data() + length);
            while (scanner.nextLinkAttribute()) {
                REQUIRE(scanner.attributeStart() >= scanner.chunkStart());
                REQUIRE(scanner.valueStart() + scanner.valueLength() <= scanner.chunkEnd());
                REQUIRE(scanner.attributeStart() + scanner.attributeLength() <= scanner.chunkEnd());
            }
            previousEnd = scanner.chunkEnd();
        }
        CHECK(previousEnd == text.data() + length);
    }
}
