#include <cstdlib>
#include <cstring>
#include <string>

#include "core/owned_text.h"
#include "doctest.h"
#include "core/url.h"

namespace {

std::string text(const OwnedText& part) {
    return part ? part.get() : "<null>";
}

std::string compose(const Url& url, uint32_t mask = 0x1FF) {
    char buffer[512];
    return composeUrl(url, buffer, sizeof buffer, mask);
}

std::string resolved(const char* link, const char* base) {
    Url baseUrl;
    parseUrl(baseUrl, base, false);
    Url linkUrl;
    parseUrl(linkUrl, link, false);
    resolveUrl(linkUrl, baseUrl);
    return compose(linkUrl);
}

std::string normalized(const char* path) {
    Url url;
    parseUrl(url, "", false);
    url.path.reset(duplicateText(path));
    normalizeUrlPath(url);
    return url.path.get();
}

uint32_t match(const char* link, const char* candidate) {
    Url a;
    Url b;
    parseUrl(a, link, false);
    parseUrl(b, candidate, false);
    return matchUrls(a, b);
}

std::string sortKey(const char* host, size_t size = 260) {
    char out[260];
    std::memset(out, 'x', sizeof out);
    hostSortKey(out, host, size);
    return out;
}

}  // namespace

TEST_CASE("parseUrl splits every part of a full URL") {
    Url url;
    parseUrl(url, "http://u@H:81/a/./b/../c.htm;p?q=1#t", false);
    CHECK(url.schemeIndex == SCHEME_HTTP);
    CHECK(text(url.scheme) == "http:");
    CHECK(text(url.authority) == "//u@H:81");
    CHECK(text(url.host) == "H");
    CHECK(url.port == 81);
    CHECK(text(url.path) == "/a/");
    CHECK(text(url.fileName) == "c.htm");
    CHECK(text(url.params) == ";p");
    CHECK(text(url.query) == "?q=1");
    CHECK(text(url.fragment) == "#t");
    CHECK_FALSE(url.isIndexPage);
}

TEST_CASE("parseUrl of short and unusual URLs") {
    Url url;
    {
        parseUrl(url, "mailto:u", false);
        CHECK(url.schemeIndex == SCHEME_MAILTO);
        CHECK(text(url.path) == "u");
        CHECK_FALSE(url.fileName);
    }
    {
        parseUrl(url, "img/logo.gif", false);
        CHECK(url.schemeIndex == SCHEME_NONE);
        CHECK_FALSE(url.scheme);
        CHECK(text(url.path) == "img/");
        CHECK(text(url.fileName) == "logo.gif");
    }
    {
        parseUrl(url, "http://h", false);
        CHECK(text(url.path) == "");
        CHECK_FALSE(url.fileName);
        CHECK(text(url.host) == "h");
        CHECK(url.port == -1);
    }
    {
        parseUrl(url, "c:\\dir\\page.htm", false);
        CHECK(url.schemeIndex == SCHEME_NONE);
        CHECK_FALSE(url.scheme);
        CHECK(text(url.path) == "c:\\dir\\");
        CHECK(text(url.fileName) == "page.htm");
    }
    {
        parseUrl(url, "http://h/a?b/c", false);
        CHECK(text(url.query) == "?b/c");
        CHECK(text(url.path) == "/");
        CHECK(text(url.fileName) == "a");
    }
    {
        parseUrl(url, "http://h/a#x?y", false);
        CHECK(text(url.fragment) == "#x?y");
        CHECK_FALSE(url.query);
    }
    {
        parseUrl(url, "HTTP://h/", false);
        CHECK(url.schemeIndex == SCHEME_HTTP);
        CHECK(text(url.path) == "/");
        CHECK_FALSE(url.fileName);
    }
    {
        parseUrl(url, "javascript:void(0)", false);
        CHECK(url.schemeIndex == SCHEME_NONE);
        CHECK(text(url.scheme) == "javascript:");
    }
    {
        parseUrl(url, "http://h:/x", false);
        CHECK(url.port == 0);
        parseUrl(url, "http://h:99999999999999/x", false);
        CHECK(url.port > 0);
    }
    {
        parseUrl(url, "news:comp.lang/x.y", false);
        CHECK(text(url.path) == "comp.lang/x.y");
        CHECK_FALSE(url.fileName);
    }
    {
        parseUrl(url, nullptr, false);
        CHECK_FALSE(url.path);
        CHECK(url.schemeIndex == SCHEME_NONE);
    }
}

TEST_CASE("parseUrl as a directory appends the separator unless a fragment or query follows") {
    Url url;
    parseUrl(url, "http://h/app", true);
    CHECK(text(url.path) == "/app/");
    CHECK_FALSE(url.fileName);
    parseUrl(url, "classes\\", true);
    CHECK(text(url.path) == "classes\\");
    parseUrl(url, "", true);
    CHECK(text(url.path) == "/");
    parseUrl(url, "http://h/app?x", true);
    CHECK(text(url.path) == "/");
    CHECK(text(url.fileName) == "app");
}

TEST_CASE("isIndexPage looks at the first nine letters of the file name in any case") {
    Url url;
    const char* indexNames[] = {"http://h/index.html", "http://h/INDEX.HTM", "http://h/d/index.htmx"};
    for (const char* name : indexNames) {
        parseUrl(url, name, false);
        CHECK_MESSAGE(url.isIndexPage, name);
    }
    parseUrl(url, "http://h/index.ht", false);
    CHECK_FALSE(url.isIndexPage);
    parseUrl(url, "http://h/myindex.htm", false);
    CHECK_FALSE(url.isIndexPage);
}

TEST_CASE("a trailing dot segment stays in the path and is resolved there") {
    Url url;
    parseUrl(url, "a/b/..", false);
    CHECK(text(url.path) == "a/");
    CHECK_FALSE(url.fileName);
    parseUrl(url, "http://h/d/.", false);
    CHECK(text(url.path) == "/d/");
    CHECK_FALSE(url.fileName);
    parseUrl(url, "a/.profile", false);
    CHECK(text(url.path) == "a/");
    CHECK(text(url.fileName) == ".profile");
}

TEST_CASE("normalizeUrlPath removes dot segments; above the root they are dropped, above a relative path kept") {
    CHECK(normalized("/a/./b/../c/") == "/a/c/");
    CHECK(normalized("a/..") == "");
    CHECK(normalized("../x/") == "../x/");
    CHECK(normalized("/../x/") == "/x/");
    CHECK(normalized("\\..\\..\\x\\") == "\\x\\");
    CHECK(normalized("/..") == "/");
    CHECK(normalized("./x/") == "x/");
    CHECK(normalized("a/.") == "a/");
    CHECK(normalized("a.b/c./.d/..e/") == "a.b/c./.d/..e/");
    CHECK(normalized("\\a\\b\\..\\c\\") == "\\a\\c\\");
    CHECK(normalized("/a/b/../../../x/") == "/x/");
    CHECK(normalized("a/../../x/") == "../x/");
    CHECK(normalized("../../x/") == "../../x/");
    CHECK(normalized("") == "");
}

TEST_CASE("resolveUrl completes relative links from the base") {
    const char* base = "http://h/d1/d2/p.htm?x#f";
    CHECK(resolved("img/a.gif", base) == "http://h/d1/d2/img/a.gif");
    CHECK(resolved("../up.htm", base) == "http://h/d1/up.htm");
    CHECK(resolved("/abs.htm", base) == "http://h/abs.htm");
    CHECK(resolved("#t", base) == "http://h/d1/d2/p.htm?x#t");
    CHECK(resolved("?y=2", base) == "http://h/d1/d2/p.htm?y=2");
    CHECK(resolved("//g/x.htm", base) == "http://g/x.htm");
    CHECK(resolved("ftp://f/x", base) == "ftp://f/x");
    CHECK(resolved("", base) == "http://h/d1/d2/p.htm?x#f");
    CHECK(resolved("../../../../x.htm", base) == "http://h/x.htm");
    CHECK(resolved("/../../x.htm", base) == "http://h/x.htm");
    CHECK(resolved("../../../x.htm", "http://h/d/e/p.htm") == "http://h/x.htm");
    CHECK(resolved("javascript:void(0)", base) == "javascript:void(0)");
    CHECK(resolved("a.htm", "http://h") == "http://h/a.htm");
    CHECK(resolved("sub/a.htm", "http://h") == "http://h/sub/a.htm");
    CHECK(resolved("#t", "http://h") == "http://h#t");
}

TEST_CASE("resolveUrl takes host and port from the base and fills only what is missing") {
    Url base;
    parseUrl(base, "http://u@Host:8080/dir/page.htm", false);
    Url link;
    parseUrl(link, "x.htm", false);
    resolveUrl(link, base);
    CHECK(text(link.host) == "Host");
    CHECK(link.port == 8080);
    CHECK(link.schemeIndex == SCHEME_HTTP);

    Url other;
    parseUrl(other, "http://elsewhere/root/", false);
    resolveUrl(link, other);
    CHECK(compose(link) == "http://u@Host:8080/dir/x.htm");

    Url applet;
    parseUrl(applet, "classes", true);
    resolveUrl(applet, base);
    Url code;
    parseUrl(code, "Main.class", false);
    resolveUrl(code, applet);
    CHECK(compose(code) == "http://u@Host:8080/dir/classes/Main.class");
}

TEST_CASE("composeUrl writes the selected parts and cuts to the buffer") {
    Url url;
    parseUrl(url, "http://u@h:81/a/b.htm;p?q#f", false);
    CHECK(compose(url, 0xFF) == "http://u@h:81/a/b.htm;p?q");
    CHECK(compose(url, URL_HOST | URL_PATH | URL_FILE_NAME) == "//u@h/a/b.htm");
    CHECK(compose(url, URL_PATH | URL_FILE_NAME) == "/a/b.htm");
    CHECK(compose(url, URL_FRAGMENT) == "#f");

    char small[8];
    std::memset(small, 'x', sizeof small);
    CHECK(std::string(composeUrl(url, small, sizeof small, 0xFF)) == "http://");
    char untouched = 'x';
    composeUrl(url, &untouched, 0, 0xFF);
    CHECK(untouched == 'x');

    Url empty;
    CHECK(compose(empty) == "");
}

TEST_CASE("matchUrls rates how closely a cached URL matches a link") {
    CHECK(match("http://h/a.htm", "http://h/a.htm?x=1") == 0x17F);
    CHECK(match("http://h/a.htm?x=1", "http://h/a.htm?x=2") == 0);
    CHECK(match("http://h/a.htm", "HTTP://H/A.HTM") == 0x1FF);
    CHECK(match("http://h/a.htm", "https://h/a.htm") == 0);
    CHECK(match("http://h/a.htm", "http://g/a.htm") == 0);
    CHECK(match("http://h/a.htm", "http://h/b/a.htm") == 0);
    CHECK(match("http://h/a.htm;1", "http://h/a.htm;2") == 0);
    CHECK(match("x-a:b", "x-b:b") == 0);
    CHECK(match("http://h:80/a.htm", "http://h/a.htm") == 0x1F5);
    CHECK(match("http://u@h/a.htm", "http://h/a.htm") == 0x1FD);
    CHECK((match("http://h/a.htm", "http://h/b.htm") & (URL_FILE_NAME | URL_SAME_DEFAULT_DOCUMENT)) == 0);
}

TEST_CASE("matchUrls sees the default document of a directory in three spellings") {
    const uint32_t same = URL_SAME_DEFAULT_DOCUMENT;
    CHECK((match("http://h/dir/sub", "http://h/dir/sub/") & same) == same);
    CHECK((match("http://h/dir/sub/", "http://h/dir/sub") & same) == same);
    CHECK((match("http://h/dir/", "http://h/dir/index.html") & same) == same);
    CHECK((match("http://h/dir", "http://h/dir/index.html") & same) == same);
    CHECK(match("http://h/dir/sub", "http://h/dir/subx/") == 0);
    CHECK(match("http://h/dir/", "http://h/dir/page.htm") == 0x1DF);
}

TEST_CASE("hostSortKey reverses the labels of names but not of addresses") {
    CHECK(sortKey("10.1.2.3") == "10.1.2.3");
    CHECK(sortKey("a.b-c.d") == "d.b-c.a");
    CHECK(sortKey("2cool.d") == "d.2cool");
    CHECK(sortKey("one.two.three") == "three.two.one");
    CHECK(sortKey("localhost") == "localhost");
    CHECK(sortKey(nullptr) == "");
    CHECK(sortKey("www.example.com", 8) == "com.exa");
    CHECK(sortKey("10.1.2.3", 4) == "10.");
    char untouched = 'x';
    hostSortKey(&untouched, "a.b", 0);
    CHECK(untouched == 'x');
}

TEST_CASE("clearUrl returns a value to the empty state") {
    Url url;
    parseUrl(url, "http://h:8/index.htm;p?q#f", false);
    clearUrl(url);
    CHECK(url.schemeIndex == SCHEME_NONE);
    CHECK(url.port == -1);
    CHECK_FALSE(url.isIndexPage);
    CHECK_FALSE(url.scheme);
    CHECK_FALSE(url.path);
    CHECK_FALSE(url.fragment);
}
