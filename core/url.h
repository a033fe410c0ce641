// URL values: a URL split into its parts, resolved against a base, composed
// back into text and compared with the URLs of cached documents.
//
// The grammar is a small, forgiving one: nothing is ever rejected, no
// percent-escapes are decoded, and "\" counts as a path separator wherever
// "/" does, because pages written on Windows use both.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/owned_text.h"

// Parts of a URL, both for composing and in the result of matchUrls.
enum UrlPart : uint32_t {
    URL_SCHEME = 0x001,
    URL_AUTHORITY = 0x002,
    URL_HOST = 0x004,
    URL_PORT = 0x008,
    URL_PATH = 0x010,
    URL_FILE_NAME = 0x020,
    URL_PARAMS = 0x040,
    URL_QUERY = 0x080,
    URL_FRAGMENT = 0x100,
    // Match result only: both name the default document of one directory.
    URL_SAME_DEFAULT_DOCUMENT = 0x80000000u,
};

// Rows of the scheme table; -1 for no scheme or an unknown one.
enum UrlScheme : int8_t {
    SCHEME_NONE = -1,
    SCHEME_HTTP = 0,
    SCHEME_HTTPS = 1,
    SCHEME_FTP = 2,
    SCHEME_FILE = 3,
    SCHEME_GOPHER = 4,
    SCHEME_WAIS = 5,
    SCHEME_TELNET = 6,
    SCHEME_TN3270 = 7,
    SCHEME_RLOGIN = 8,
    SCHEME_NEWS = 9,
    SCHEME_SNEWS = 10,
    SCHEME_MAILTO = 11,
};

// Every text is a copy owned by the value; an absent part holds none.
// `path` is absent only in the empty value.
struct Url {
    int8_t schemeIndex = SCHEME_NONE;
    OwnedText scheme;     // as written, colon included
    OwnedText authority;  // "//" and up to the next "/"
    OwnedText host;       // without user information and port
    int32_t port = -1;
    OwnedText path;       // the directory part, up to the last separator
    OwnedText fileName;   // the last path segment, when not empty
    OwnedText params;     // from ";"
    OwnedText query;      // from "?"
    OwnedText fragment;   // from "#"
    bool isIndexPage = false;  // fileName begins with "index.htm"
    // A part could not be copied for want of memory: the value says less
    // than the text it came from, and must not be taken for it.
    bool incomplete = false;

    Url() = default;
    Url(const Url&) = delete;
    Url& operator=(const Url&) = delete;

    // Relative links and http, https, ftp and file URLs have a path that is
    // split, normalised and resolved.
    bool isHierarchical() const { return schemeIndex <= SCHEME_FILE; }
};

// A stretch of a URL text; an absent part has no start.
struct UrlSpan {
    const char* start = nullptr;
    size_t length = 0;

    bool present() const { return start != nullptr; }
};

// Where the parts of a URL text lie, found without copying anything: the
// grammar of parseUrl, for callers that look at thousands of URLs and need
// only a few parts of each. The path is not normalised here.
struct UrlLayout {
    int8_t schemeIndex = SCHEME_NONE;
    UrlSpan scheme, authority, host, path, fileName, params, query, fragment;
    int32_t port = -1;
    // A directory named without its closing separator: the path gets one.
    bool pathNeedsSlash = false;
};

void layoutUrl(UrlLayout& layout, const char* text, bool isDirectory);

// A NUL-terminated copy of a part, on the stack when it is short.
class SpanText {
public:
    explicit SpanText(const UrlSpan& span);
    ~SpanText();
    SpanText(const SpanText&) = delete;
    SpanText& operator=(const SpanText&) = delete;

    // Null when the part is absent or memory ran out.
    const char* get() const { return text_; }

private:
    char inline_[256];
    char* heap_ = nullptr;
    const char* text_ = nullptr;
};

// Clears `url` and fills it from `text` (null leaves it empty). With
// `isDirectory` the text names a directory even without a trailing separator.
void parseUrl(Url& url, const char* text, bool isDirectory);

// Completes a relative `link` in place from `base`; each application only
// fills what is still missing. A base with a host but no path ("http://h")
// stands for the host's root.
void resolveUrl(Url& link, const Url& base);

// Removes "." and ".." segments from the path in place. A ".." that would
// climb above the root of a path that begins with a separator is dropped;
// a relative path keeps it ("../x").
void normalizeUrlPath(Url& url);

// Writes the parts selected by `mask` into `buffer` (capacity `size` bytes
// including the NUL), cutting so that it always fits; returns `buffer`.
char* composeUrl(const Url& url, char* buffer, size_t size, uint32_t mask);

// The UrlPart bits in which `candidate` agrees with `link`, or 0 when they
// cannot name the same document.
uint32_t matchUrls(const Url& link, const Url& candidate);

// The hierarchical sort key of a host: labels in reverse order, numeric
// addresses unchanged. Never writes more than `size` bytes.
void hostSortKey(char* out, const char* host, size_t size);

void clearUrl(Url& url);
