#include "browser/navigator_items.h"

#include <cstdio>
#include <cstring>

namespace {

const char kOpenUrlFields[] = ",,0xFFFFFFFF,0,,,";
constexpr size_t kItemBufferMinimum = 1024;
// The bytes an item needs beyond the encoded URL: two quotes, the fields and
// the NUL make 20; two more to spare.
constexpr size_t kItemBufferExtra = 22;

const char* const kOpenedSchemes[] = {"http", "https", "ftp", "gopher", "file"};

bool isControlByte(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

bool isAsciiLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether the first `length` characters of `text` spell `lowerName` in any
// case. The comparison is by ASCII letters, not the user's locale: a scheme
// is ASCII, and a locale's rules must not let another word pass for one.
bool equalsNoCase(const char* text, size_t length, const char* lowerName) {
    if (std::strlen(lowerName) != length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (lowerAscii(text[i]) != lowerName[i])
            return false;
    return true;
}

bool hasOpenedScheme(const char* url) {
    // A scheme is a letter, then letters, digits, "+", "-" or "."; it ends at
    // the first colon.
    size_t length = 0;
    while (url[length] && url[length] != ':') {
        unsigned char c = static_cast<unsigned char>(url[length]);
        bool laterChar = length > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.');
        if (!isAsciiLetter(c) && !laterChar)
            return false;
        ++length;
    }
    if (url[length] != ':')
        return false;
    for (const char* scheme : kOpenedSchemes)
        if (equalsNoCase(url, length, scheme))
            return true;
    return false;
}

// Writes "%XX" for `c` at `out`.
char* putEscape(char* out, unsigned char c) {
    static const char kHex[] = "0123456789ABCDEF";
    *out++ = '%';
    *out++ = kHex[c >> 4];
    *out++ = kHex[c & 0x0F];
    return out;
}

// The start of the backslashes that end `url` (its end when there are none).
// Before a closing quote the C runtime takes a run of backslashes for
// escapes, and an odd run would swallow the quote.
size_t trailingBackslashes(const char* url, size_t length) {
    size_t start = length;
    while (start > 0 && url[start - 1] == '\\')
        --start;
    return start;
}

// The argument's text into `out` when it is not null; its length either way.
size_t encodeArgument(const char* url, char* out) {
    size_t length = std::strlen(url);
    size_t backslashes = trailingBackslashes(url, length);
    size_t total = 2;
    char* p = out;
    if (p)
        *p++ = '"';
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(url[i]);
        bool escaped = c == '"' || c == ' ' || isControlByte(c) || i >= backslashes;
        total += escaped ? 3 : 1;
        if (!p)
            continue;
        if (escaped)
            p = putEscape(p, c);
        else
            *p++ = static_cast<char>(c);
    }
    if (p) {
        *p++ = '"';
        *p = '\0';
    }
    return total;
}

// The encoded URL of the open item into `out` when it is not null; its
// length either way.
size_t encodeItemUrl(const char* url, char* out) {
    size_t total = 0;
    for (const char* s = url; *s; ++s) {
        bool escaped = *s == '"';
        total += escaped ? 3 : 1;
        if (!out)
            continue;
        if (escaped)
            out = putEscape(out, static_cast<unsigned char>(*s));
        else
            *out++ = *s;
    }
    return total;
}

bool holdsControlBytes(const char* text) {
    for (const char* s = text; *s; ++s)
        if (isControlByte(static_cast<unsigned char>(*s)))
            return true;
    return false;
}

}  // namespace

MessageCode checkUrlToOpen(const char* url) {
    if (url[0] == '-' || url[0] == '/' || holdsControlBytes(url))
        return MSG_URL_NOT_OPENED;
    return hasOpenedScheme(url) ? MSG_OK : MSG_SCHEME_NOT_OPENED;
}

size_t browserArgumentLength(const char* url) {
    return encodeArgument(url, nullptr);
}

bool formatBrowserArgument(const char* url, char* out, size_t size) {
    if (size == 0)
        return false;
    if (browserArgumentLength(url) >= size) {
        out[0] = '\0';
        return false;
    }
    encodeArgument(url, out);
    return true;
}

size_t navigatorItemBufferSize(const char* url) {
    size_t size = encodeItemUrl(url, nullptr) + kItemBufferExtra;
    return size < kItemBufferMinimum ? kItemBufferMinimum : size;
}

bool formatOpenUrlItem(const char* url, char* out, size_t size) {
    if (size == 0)
        return false;
    out[0] = '\0';
    // Built by copying rather than with wsprintf, which writes at most 1024
    // characters: a long URL would lose its closing quote and fields.
    size_t length = encodeItemUrl(url, nullptr);
    if (holdsControlBytes(url) || 2 + length + sizeof kOpenUrlFields > size)
        return false;
    char* p = out;
    *p++ = '"';
    encodeItemUrl(url, p);
    p += length;
    *p++ = '"';
    std::memcpy(p, kOpenUrlFields, sizeof kOpenUrlFields);
    return true;
}

void formatActivateItem(uint32_t windowId, char* out, size_t size) {
    std::snprintf(out, size, "%lx,0x0", static_cast<unsigned long>(windowId));
}

void formatWindowInfoItem(uint32_t windowId, char* out, size_t size) {
    std::snprintf(out, size, "%lx", static_cast<unsigned long>(windowId));
}

uint32_t windowIdOfReply(const unsigned char* data, size_t size) {
    if (!data || size < 4)
        return 0;
    return static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
           static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
}

const char* windowTitleOfInfo(const char* data, size_t size, char* out, size_t outSize) {
    if (!data || outSize == 0)
        return nullptr;
    // The reply has a size and need not end in a NUL: the text is the bytes
    // up to its first NUL, at most as many as the buffer holds.
    const void* zero = std::memchr(data, '\0', size);
    size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - data) : size;
    if (length > outSize - 1)
        length = outSize - 1;
    std::memcpy(out, data, length);
    out[length] = '\0';
    if (length < 2 || out[length - 1] != '"')
        return nullptr;
    out[length - 1] = '\0';
    char* start = out + length - 1;
    while (start > out && start[-1] != '"')
        --start;
    return start;
}
