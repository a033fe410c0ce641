#include "extract/url.h"

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

// A malloc copy of `length` bytes of `text`, or null when memory ran out.
char* copyRange(const char* text, size_t length) {
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy) {
        std::memcpy(copy, text, length);
        copy[length] = '\0';
    }
    return copy;
}

// Absent parts stay absent: the value never holds an empty text but its path.
char* copyPart(const char* text, size_t length) {
    return length ? copyRange(text, length) : nullptr;
}

void replaceText(char*& slot, char* text) {
    std::free(slot);
    slot = text;
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
bool samePart(const char* a, const char* b) {
    if (!a || !b)
        return a == b;
    return compareTextNoCase(a, b) == 0;
}

bool startsIndexPage(const char* fileName) {
    static const char kIndex[] = "index.htm";
    for (size_t i = 0; i + 1 < sizeof kIndex; ++i) {
        if (lowerChar(static_cast<unsigned char>(fileName[i])) != static_cast<unsigned char>(kIndex[i]))
            return false;
    }
    return true;
}

int8_t schemeRow(const char* scheme) {
    for (size_t i = 0; i < sizeof kSchemes / sizeof kSchemes[0]; ++i) {
        if (compareTextNoCase(scheme, kSchemes[i]) == 0)
            return static_cast<int8_t>(i);
    }
    return SCHEME_NONE;
}

bool isSchemeChar(unsigned char c) {
    return isAlphaNumericChar(c) || c == '+' || c == '-' || c == '.';
}

// Leading decimal digits, saturated instead of overflowing on absurd ports.
int32_t parsePort(const char* text) {
    int32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        int digit = *text - '0';
        if (value > (INT32_MAX - digit) / 10)
            return INT32_MAX;
        value = value * 10 + digit;
    }
    return value;
}

void splitAuthority(Url& url) {
    const char* host = url.authority + 2;
    if (const char* at = std::strchr(host, '@'))
        host = at + 1;
    if (const char* colon = std::strchr(host, ':')) {
        url.port = parsePort(colon + 1);
        url.host = copyPart(host, static_cast<size_t>(colon - host));
    } else {
        url.host = copyPart(host, std::strlen(host));
    }
}

bool isDotSegment(const char* segment, size_t length) {
    return (length == 1 && segment[0] == '.') || (length == 2 && segment[0] == '.' && segment[1] == '.');
}

// Splits the hierarchical `rest` into directory and file name, leaving the
// directory in `rest`. "." and ".." as last segment name directories, so they
// stay in the path where normalising resolves them.
void splitFileName(Url& url, char* rest) {
    char* slash = std::strrchr(rest, '/');
    char* name = slash ? slash + 1 : nullptr;
    if (!name) {
        char* backslash = std::strrchr(rest, '\\');
        name = backslash ? backslash + 1 : rest;
    }
    size_t length = std::strlen(name);
    if (length == 0 || isDotSegment(name, length))
        return;
    url.fileName = copyRange(name, length);
    if (url.fileName)
        url.isIndexPage = startsIndexPage(url.fileName);
    *name = '\0';
}

char* directoryPath(const char* rest) {
    size_t length = std::strlen(rest);
    if (length > 0 && isSeparator(rest[length - 1]))
        return copyRange(rest, length);
    char* path = static_cast<char*>(std::malloc(length + 2));
    if (path) {
        std::memcpy(path, rest, length);
        path[length] = '/';
        path[length + 1] = '\0';
    }
    return path;
}

}  // namespace

Url::~Url() {
    clearUrl(*this);
}

void clearUrl(Url& url) {
    char** texts[] = {&url.scheme, &url.authority, &url.host, &url.path, &url.fileName, &url.params, &url.query, &url.fragment};
    for (char** text : texts) {
        std::free(*text);
        *text = nullptr;
    }
    url.schemeIndex = SCHEME_NONE;
    url.port = -1;
    url.isIndexPage = false;
}

void parseUrl(Url& url, const char* text, bool isDirectory) {
    clearUrl(url);
    if (!text)
        return;
    OwnedText work(duplicateText(text));
    if (!work)
        return;
    char* rest = work.data();

    if (char* hash = std::strchr(rest, '#')) {
        url.fragment = copyRange(hash, std::strlen(hash));
        *hash = '\0';
        isDirectory = false;
    }

    char* p = rest;
    while (isSchemeChar(static_cast<unsigned char>(*p)))
        ++p;
    if (*p == ':' && p - rest >= 2) {
        url.scheme = copyRange(rest, static_cast<size_t>(p - rest) + 1);
        if (url.scheme)
            url.schemeIndex = schemeRow(url.scheme);
        rest = p + 1;
    }

    char emptyRest[1] = {'\0'};
    if (rest[0] == '/' && rest[1] == '/') {
        char* slash = std::strchr(rest + 2, '/');
        size_t length = slash ? static_cast<size_t>(slash - rest) : std::strlen(rest);
        url.authority = copyRange(rest, length);
        rest = slash ? slash : emptyRest;
    }

    if (char* question = std::strchr(rest, '?')) {
        url.query = copyRange(question, std::strlen(question));
        *question = '\0';
        isDirectory = false;
    }
    if (char* semicolon = std::strchr(rest, ';')) {
        url.params = copyRange(semicolon, std::strlen(semicolon));
        *semicolon = '\0';
    }

    if (url.isHierarchical()) {
        if (isDirectory)
            url.path = directoryPath(rest);
        else
            splitFileName(url, rest);
    }
    if (!url.path)
        url.path = duplicateText(rest);
    normalizeUrlPath(url);

    if (url.authority)
        splitAuthority(url);
}

void normalizeUrlPath(Url& url) {
    if (!url.isHierarchical() || !url.path)
        return;
    char* s = url.path;
    size_t length = std::strlen(s);
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
        if (segmentLength == 2 && s[read] == '.' && s[read + 1] == '.' && write >= 2) {
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

void resolveUrl(Url& link, const Url& base) {
    if (!link.scheme) {
        link.scheme = base.scheme ? duplicateText(base.scheme) : nullptr;
        link.schemeIndex = base.schemeIndex;
    } else if (link.schemeIndex != base.schemeIndex) {
        return;
    }
    if (link.authority)
        return;
    link.authority = base.authority ? duplicateText(base.authority) : nullptr;
    replaceText(link.host, base.host ? duplicateText(base.host) : nullptr);
    link.port = base.port;

    if (!link.isHierarchical() || !link.path || !base.path || isSeparator(link.path[0]))
        return;
    bool linkPathWasEmpty = link.path[0] == '\0';
    size_t baseLength = std::strlen(base.path);
    // "http://h" has an empty path but names the root: "a.htm" on that page
    // is "http://h/a.htm", not "http://ha.htm".
    bool baseIsHostRoot = baseLength == 0 && base.authority && (!linkPathWasEmpty || link.fileName);
    if (baseLength > 0 || baseIsHostRoot) {
        bool needsSeparator = baseLength == 0 || !isSeparator(base.path[baseLength - 1]);
        size_t linkLength = std::strlen(link.path);
        char* joined = static_cast<char*>(std::malloc(baseLength + (needsSeparator ? 1 : 0) + linkLength + 1));
        if (!joined)
            return;
        std::memcpy(joined, base.path, baseLength);
        size_t at = baseLength;
        if (needsSeparator)
            joined[at++] = '/';
        std::memcpy(joined + at, link.path, linkLength + 1);
        replaceText(link.path, joined);
        normalizeUrlPath(link);
    }
    if (!linkPathWasEmpty || link.fileName)
        return;

    link.fileName = base.fileName ? duplicateText(base.fileName) : nullptr;
    link.isIndexPage = link.fileName && base.isIndexPage;
    if (link.params)
        return;
    link.params = base.params ? duplicateText(base.params) : nullptr;
    if (link.query)
        return;
    link.query = base.query ? duplicateText(base.query) : nullptr;
    if (!link.fragment)
        link.fragment = base.fragment ? duplicateText(base.fragment) : nullptr;
}

char* composeUrl(const Url& url, char* buffer, size_t size, uint32_t mask) {
    if (size == 0)
        return buffer;
    buffer[0] = '\0';
    auto append = [&](uint32_t bit, const char* text) {
        if ((mask & bit) && text)
            appendRange(buffer, size, text, std::strlen(text));
    };
    append(URL_SCHEME, url.scheme);
    if ((mask & (URL_AUTHORITY | URL_HOST | URL_PORT)) && url.authority) {
        size_t length = std::strlen(url.authority);
        if (!(mask & URL_PORT) && url.port != -1) {
            if (const char* colon = std::strrchr(url.authority, ':'))
                length = static_cast<size_t>(colon - url.authority);
        }
        appendRange(buffer, size, url.authority, length);
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
    size_t pathLength = std::strlen(shorter.path);
    size_t nameLength = std::strlen(shorter.fileName);
    size_t longLength = std::strlen(longer.path);
    if (longLength != pathLength + nameLength + 1 || !isSeparator(longer.path[longLength - 1]))
        return false;
    OwnedText joined(static_cast<char*>(std::malloc(longLength + 1)));
    if (!joined)
        return false;
    std::memcpy(joined.data(), shorter.path, pathLength);
    std::memcpy(joined.data() + pathLength, shorter.fileName, nameLength);
    joined.data()[longLength - 1] = longer.path[longLength - 1];
    joined.data()[longLength] = '\0';
    return compareTextNoCase(joined.get(), longer.path) == 0;
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
    if (compareTextNoCase(link.path, candidate.path) != 0) {
        size_t linkLength = std::strlen(link.path);
        size_t candidateLength = std::strlen(candidate.path);
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
