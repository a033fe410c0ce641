#include "core/url.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/owned_text.h"
#include "core/text_locale.h"

namespace {

const char* const kSchemes[] = {
    "http:", "https:", "ftp:", "file:", "gopher:", "wais:", "telnet:", "tn3270:", "rlogin:", "news:", "snews:", "mailto:",
};

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

void appendRange(char* out, size_t size, const char* text, size_t length) {
    size_t used = std::strlen(out);
    if (used + 1 >= size)
        return;
    size_t room = size - 1 - used;
    size_t take = length < room ? length : room;
    std::memcpy(out + used, text, take);
    out[used + take] = '\0';
}

// Two absent parts are equal, an absent and a present one are not.
bool samePart(const OwnedText& a, const OwnedText& b) {
    if (!a || !b)
        return !a && !b;
    return compareTextNoCase(a.get(), b.get()) == 0;
}

// A copy of a part of the base, or none when the base has none.
char* copyPart(const OwnedText& part) {
    return part ? duplicateText(part.get()) : nullptr;
}

bool startsIndexPage(const char* fileName) {
    static const char kIndex[] = "index.htm";
    for (size_t i = 0; i + 1 < sizeof kIndex; ++i) {
        if (lowerChar(static_cast<unsigned char>(fileName[i])) != static_cast<unsigned char>(kIndex[i]))
            return false;
    }
    return true;
}

// Most URLs name their scheme in plain letters: a table row whose letters
// match is the row the locale's comparison would find, without asking it.
bool asciiFoldEqual(const char* text, size_t length, const char* row) {
    size_t i = 0;
    for (; i < length && row[i]; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 'A' && c <= 'Z')
            c = static_cast<unsigned char>(c + ('a' - 'A'));
        if (c != static_cast<unsigned char>(row[i]))
            return false;
    }
    return i == length && !row[i];
}

int8_t schemeRow(const char* scheme, size_t length) {
    const size_t rows = sizeof kSchemes / sizeof kSchemes[0];
    for (size_t i = 0; i < rows; ++i) {
        if (asciiFoldEqual(scheme, length, kSchemes[i]))
            return static_cast<int8_t>(i);
    }
    char text[32];
    if (length >= sizeof text)
        return SCHEME_NONE;
    std::memcpy(text, scheme, length);
    text[length] = '\0';
    for (size_t i = 0; i < rows; ++i) {
        if (compareTextNoCase(text, kSchemes[i]) == 0)
            return static_cast<int8_t>(i);
    }
    return SCHEME_NONE;
}

bool isSchemeChar(unsigned char c) {
    return isAlphaNumericChar(c) || c == '+' || c == '-' || c == '.';
}

// Leading decimal digits, saturated instead of overflowing on absurd ports.
int32_t parsePort(const char* text, const char* end) {
    int32_t value = 0;
    for (; text < end && *text >= '0' && *text <= '9'; ++text) {
        int digit = *text - '0';
        if (value > (INT32_MAX - digit) / 10)
            return INT32_MAX;
        value = value * 10 + digit;
    }
    return value;
}

bool isDotSegment(const char* segment, size_t length) {
    return (length == 1 && segment[0] == '.') || (length == 2 && segment[0] == '.' && segment[1] == '.');
}

const char* findChar(const char* start, const char* end, char c) {
    return start < end ? static_cast<const char*>(std::memchr(start, c, static_cast<size_t>(end - start))) : nullptr;
}

const char* findLastChar(const char* start, const char* end, char c) {
    for (const char* p = end; p > start; --p) {
        if (p[-1] == c)
            return p - 1;
    }
    return nullptr;
}

UrlSpan spanOf(const char* start, const char* end) {
    return {start, static_cast<size_t>(end - start)};
}

// The host and port inside the authority "//user@host:port".
void layoutAuthority(UrlLayout& layout) {
    const char* end = layout.authority.start + layout.authority.length;
    const char* host = layout.authority.start + 2;
    if (const char* at = findChar(host, end, '@'))
        host = at + 1;
    if (const char* colon = findChar(host, end, ':')) {
        layout.port = parsePort(colon + 1, end);
        layout.host = spanOf(host, colon);
    } else {
        layout.host = spanOf(host, end);
    }
}

// Absent parts stay absent, and so do empty ones but the path.
char* copySpan(const UrlSpan& span) {
    return span.present() && span.length ? duplicateRange(span.start, span.length) : nullptr;
}

// Sets `part` to a copy of `span`; false when the span has text that could
// not be copied.
bool takeSpan(OwnedText& part, const UrlSpan& span) {
    part.reset(copySpan(span));
    return part || !span.present() || span.length == 0;
}

// Sets `part` to a copy of `from`; false when `from` could not be copied.
bool takePart(OwnedText& part, const OwnedText& from) {
    part.reset(copyPart(from));
    return part || !from;
}

}  // namespace

void clearUrl(Url& url) {
    OwnedText* texts[] = {&url.scheme, &url.authority, &url.host, &url.path, &url.fileName, &url.params, &url.query, &url.fragment};
    for (OwnedText* text : texts)
        text->reset();
    url.schemeIndex = SCHEME_NONE;
    url.port = -1;
    url.isIndexPage = false;
    url.incomplete = false;
}

void layoutUrl(UrlLayout& layout, const char* text, bool isDirectory) {
    layout = UrlLayout();
    const char* end = text + std::strlen(text);

    if (const char* hash = findChar(text, end, '#')) {
        layout.fragment = spanOf(hash, end);
        end = hash;
        isDirectory = false;
    }

    const char* rest = text;
    const char* p = text;
    while (p < end && isSchemeChar(static_cast<unsigned char>(*p)))
        ++p;
    // A single letter before ":" is a drive, as in c:\web\a.htm.
    if (p < end && *p == ':' && p - text >= 2) {
        layout.scheme = spanOf(text, p + 1);
        layout.schemeIndex = schemeRow(text, layout.scheme.length);
        rest = p + 1;
    }

    if (end - rest >= 2 && rest[0] == '/' && rest[1] == '/') {
        const char* slash = findChar(rest + 2, end, '/');
        const char* authorityEnd = slash ? slash : end;
        layout.authority = spanOf(rest, authorityEnd);
        rest = authorityEnd;
    }

    if (const char* question = findChar(rest, end, '?')) {
        layout.query = spanOf(question, end);
        end = question;
        isDirectory = false;
    }
    if (const char* semicolon = findChar(rest, end, ';')) {
        layout.params = spanOf(semicolon, end);
        end = semicolon;
    }

    if (layout.schemeIndex <= SCHEME_FILE) {
        if (isDirectory) {
            layout.pathNeedsSlash = end == rest || !isSeparator(end[-1]);
        } else {
            // The file name follows the last slash, or the last backslash
            // when there is no slash. "." and ".." as last segment name
            // directories, so they stay in the path where normalising
            // resolves them.
            const char* slash = findLastChar(rest, end, '/');
            if (!slash)
                slash = findLastChar(rest, end, '\\');
            const char* name = slash ? slash + 1 : rest;
            if (name < end && !isDotSegment(name, static_cast<size_t>(end - name))) {
                layout.fileName = spanOf(name, end);
                end = name;
            }
        }
    }
    layout.path = spanOf(rest, end);

    if (layout.authority.present())
        layoutAuthority(layout);
}

SpanText::SpanText(const UrlSpan& span) {
    if (!span.present())
        return;
    char* target = inline_;
    if (span.length >= sizeof inline_) {
        heap_ = static_cast<char*>(std::malloc(span.length + 1));
        if (!heap_)
            return;
        target = heap_;
    }
    std::memcpy(target, span.start, span.length);
    target[span.length] = '\0';
    text_ = target;
}

SpanText::~SpanText() {
    std::free(heap_);
}

void parseUrl(Url& url, const char* text, bool isDirectory) {
    clearUrl(url);
    if (!text)
        return;
    UrlLayout layout;
    layoutUrl(layout, text, isDirectory);

    bool whole = takeSpan(url.scheme, layout.scheme);
    if (url.scheme)
        url.schemeIndex = layout.schemeIndex;
    whole = takeSpan(url.authority, layout.authority) && whole;
    whole = takeSpan(url.host, layout.host) && whole;
    url.port = layout.port;
    whole = takeSpan(url.fileName, layout.fileName) && whole;
    if (url.fileName)
        url.isIndexPage = startsIndexPage(url.fileName.get());
    whole = takeSpan(url.params, layout.params) && whole;
    whole = takeSpan(url.query, layout.query) && whole;
    whole = takeSpan(url.fragment, layout.fragment) && whole;

    size_t length = layout.path.length;
    url.path.reset(static_cast<char*>(std::malloc(length + 2)));
    if (char* path = url.path.data()) {
        std::memcpy(path, layout.path.start, length);
        if (layout.pathNeedsSlash)
            path[length++] = '/';
        path[length] = '\0';
    } else {
        whole = false;
    }
    url.incomplete = !whole;
    normalizeUrlPath(url);
}

void normalizeUrlPath(Url& url) {
    if (!url.isHierarchical() || !url.path)
        return;
    char* s = url.path.data();
    size_t length = std::strlen(s);
    // A path from the root has nothing above it: a ".." that would climb
    // there is dropped, as browsers do, so "/../x" names "/x". A relative
    // path keeps it, since its base may still supply the levels above.
    bool fromRoot = length > 0 && isSeparator(s[0]);
    size_t read = 0;
    size_t write = 0;
    // `write` always stands at the start of a segment of the output.
    while (read < length) {
        size_t end = read;
        while (end < length && !isSeparator(s[end]))
            ++end;
        size_t segmentLength = end - read;
        size_t next = end < length ? end + 1 : end;
        if (segmentLength == 1 && s[read] == '.') {
            read = next;
            continue;
        }
        bool parent = segmentLength == 2 && s[read] == '.' && s[read + 1] == '.';
        if (parent && fromRoot && write == 1) {
            read = next;
            continue;
        }
        if (parent && write >= 2) {
            size_t previous = write - 1;
            while (previous > 0 && !isSeparator(s[previous - 1]))
                --previous;
            // A ".." kept because nothing was above it cannot be cancelled
            // by the next one: "../../x" names two levels up.
            bool previousIsParent = write - 1 - previous == 2 && s[previous] == '.' && s[previous + 1] == '.';
            if (!previousIsParent) {
                write = previous;
                read = next;
                continue;
            }
        }
        std::memmove(s + write, s + read, next - read);
        write += next - read;
        read = next;
    }
    s[write] = '\0';
}

namespace {

// Completes `link` from `base`; false when a part could not be copied.
bool resolveParts(Url& link, const Url& base) {
    if (!link.scheme) {
        if (!takePart(link.scheme, base.scheme))
            return false;
        link.schemeIndex = base.schemeIndex;
    } else if (link.schemeIndex != base.schemeIndex) {
        return true;
    }
    if (link.authority)
        return true;
    if (!takePart(link.authority, base.authority) || !takePart(link.host, base.host))
        return false;
    link.port = base.port;

    if (!link.isHierarchical() || !link.path || !base.path || isSeparator(link.path.get()[0]))
        return true;
    bool linkPathWasEmpty = link.path.get()[0] == '\0';
    size_t baseLength = std::strlen(base.path.get());
    // "http://h" has an empty path but names the root: "a.htm" on that page
    // is "http://h/a.htm", not "http://ha.htm".
    bool baseIsHostRoot = baseLength == 0 && base.authority && (!linkPathWasEmpty || link.fileName);
    if (baseLength > 0 || baseIsHostRoot) {
        bool needsSeparator = baseLength == 0 || !isSeparator(base.path.get()[baseLength - 1]);
        size_t linkLength = std::strlen(link.path.get());
        char* joined = static_cast<char*>(std::malloc(baseLength + (needsSeparator ? 1 : 0) + linkLength + 1));
        if (!joined)
            return false;
        std::memcpy(joined, base.path.get(), baseLength);
        size_t at = baseLength;
        if (needsSeparator)
            joined[at++] = '/';
        std::memcpy(joined + at, link.path.get(), linkLength + 1);
        link.path.reset(joined);
        normalizeUrlPath(link);
    }
    if (!linkPathWasEmpty || link.fileName)
        return true;

    if (!takePart(link.fileName, base.fileName))
        return false;
    link.isIndexPage = link.fileName && base.isIndexPage;
    if (link.params)
        return true;
    if (!takePart(link.params, base.params))
        return false;
    if (link.query)
        return true;
    if (!takePart(link.query, base.query))
        return false;
    return link.fragment || takePart(link.fragment, base.fragment);
}

}  // namespace

void resolveUrl(Url& link, const Url& base) {
    if (!resolveParts(link, base))
        link.incomplete = true;
}

char* composeUrl(const Url& url, char* buffer, size_t size, uint32_t mask) {
    if (size == 0)
        return buffer;
    buffer[0] = '\0';
    auto append = [&](uint32_t bit, const OwnedText& text) {
        if ((mask & bit) && text)
            appendRange(buffer, size, text.get(), std::strlen(text.get()));
    };
    append(URL_SCHEME, url.scheme);
    if ((mask & (URL_AUTHORITY | URL_HOST | URL_PORT)) && url.authority) {
        const char* authority = url.authority.get();
        size_t length = std::strlen(authority);
        if (!(mask & URL_PORT) && url.port != -1) {
            if (const char* colon = std::strrchr(authority, ':'))
                length = static_cast<size_t>(colon - authority);
        }
        appendRange(buffer, size, authority, length);
    }
    append(URL_PATH, url.path);
    append(URL_FILE_NAME, url.fileName);
    append(URL_PARAMS, url.params);
    append(URL_QUERY, url.query);
    append(URL_FRAGMENT, url.fragment);
    return buffer;
}

namespace {

// True when `longer` is exactly `shorter`'s path and file name and one
// trailing separator: the shorter URL names the longer one's directory.
bool namesDirectoryOf(const Url& shorter, const Url& longer) {
    if (!shorter.fileName)
        return false;
    size_t pathLength = std::strlen(shorter.path.get());
    size_t nameLength = std::strlen(shorter.fileName.get());
    const char* longPath = longer.path.get();
    size_t longLength = std::strlen(longPath);
    if (longLength != pathLength + nameLength + 1 || !isSeparator(longPath[longLength - 1]))
        return false;
    OwnedText joined(static_cast<char*>(std::malloc(longLength + 1)));
    if (!joined)
        return false;
    std::memcpy(joined.data(), shorter.path.get(), pathLength);
    std::memcpy(joined.data() + pathLength, shorter.fileName.get(), nameLength);
    joined.data()[longLength - 1] = longPath[longLength - 1];
    joined.data()[longLength] = '\0';
    return compareTextNoCase(joined.get(), longPath) == 0;
}

}  // namespace

uint32_t matchUrls(const Url& link, const Url& candidate) {
    if (link.schemeIndex != candidate.schemeIndex)
        return 0;
    if (link.schemeIndex == SCHEME_NONE && !samePart(link.scheme, candidate.scheme))
        return 0;
    if (!link.path || !candidate.path || !samePart(link.host, candidate.host))
        return 0;

    bool linkNamesDirectory = false;
    bool candidateNamesDirectory = false;
    if (compareTextNoCase(link.path.get(), candidate.path.get()) != 0) {
        size_t linkLength = std::strlen(link.path.get());
        size_t candidateLength = std::strlen(candidate.path.get());
        if (linkLength == candidateLength)
            return 0;
        if (linkLength < candidateLength)
            linkNamesDirectory = namesDirectoryOf(link, candidate);
        else
            candidateNamesDirectory = namesDirectoryOf(candidate, link);
        if (!linkNamesDirectory && !candidateNamesDirectory)
            return 0;
    }

    uint32_t result = URL_SCHEME | URL_HOST | URL_PATH;
    if (link.port == candidate.port)
        result |= URL_PORT;
    if (samePart(link.authority, candidate.authority))
        result |= URL_AUTHORITY | URL_HOST | URL_PORT;

    if (samePart(link.fileName, candidate.fileName)) {
        result |= URL_FILE_NAME;
    } else {
        bool linkDefault = !link.fileName || linkNamesDirectory || link.isIndexPage;
        bool candidateDefault = !candidate.fileName || candidateNamesDirectory || candidate.isIndexPage;
        if (linkDefault && candidateDefault)
            result |= URL_SAME_DEFAULT_DOCUMENT;
    }

    if (samePart(link.params, candidate.params))
        result |= URL_PARAMS;
    else if (link.params && candidate.params)
        return 0;
    if (samePart(link.query, candidate.query))
        result |= URL_QUERY;
    else if (link.query && candidate.query)
        return 0;
    if (samePart(link.fragment, candidate.fragment))
        result |= URL_FRAGMENT;
    return result;
}

void hostSortKey(char* out, const char* host, size_t size) {
    if (size == 0)
        return;
    out[0] = '\0';
    if (!host)
        return;
    const char* lastDot = std::strrchr(host, '.');
    bool numeric = host[0] >= '0' && host[0] <= '9' && lastDot && lastDot[1] >= '0' && lastDot[1] <= '9';
    if (numeric || !lastDot) {
        copyTextBounded(out, size, host);
        return;
    }
    const char* end = host + std::strlen(host);
    while (true) {
        const char* start = end;
        while (start > host && start[-1] != '.')
            --start;
        appendRange(out, size, start, static_cast<size_t>(end - start));
        if (start == host)
            break;
        appendRange(out, size, ".", 1);
        end = start - 1;
    }
}
