#include "core/text_helpers.h"

#include <cstring>

#include "core/text_locale.h"

namespace {

struct Entity {
    const char* name;
    unsigned char length;
    unsigned char capital;  // when the text writes the name's first letter in upper case
    unsigned char small;
};

// Looked up in this order; the first row whose name starts the text wins.
const Entity kEntities[] = {
    {"quot", 4, 0x22, 0x22},   {"amp", 3, 0x26, 0x26},    {"lt", 2, 0x3C, 0x3C},     {"gt", 2, 0x3E, 0x3E},
    {"nbsp", 4, 0xA0, 0xA0},   {"copy", 4, 0xA9, 0xA9},   {"reg", 3, 0xAE, 0xAE},    {"agrave", 6, 0xC0, 0xE0},
    {"aacute", 6, 0xC1, 0xE1}, {"acirc", 5, 0xC2, 0xE2},  {"atilde", 6, 0xC3, 0xE3}, {"auml", 4, 0xC4, 0xE4},
    {"aring", 5, 0xC5, 0xE5},  {"aelig", 5, 0xC6, 0xE6},  {"ccedil", 6, 0xC7, 0xE7}, {"egrave", 6, 0xC8, 0xE8},
    {"eacute", 6, 0xC9, 0xE9}, {"ecirc", 5, 0xCA, 0xEA},  {"euml", 4, 0xCB, 0xEB},   {"igrave", 6, 0xCC, 0xEC},
    {"iacute", 6, 0xCD, 0xED}, {"icirc", 5, 0xCE, 0xEE},  {"iuml", 4, 0xCF, 0xEF},   {"eth", 3, 0xD0, 0xF0},
    {"ntilde", 6, 0xD1, 0xF1}, {"ograve", 6, 0xD2, 0xF2}, {"oacute", 6, 0xD3, 0xF3}, {"ocirc", 5, 0xD4, 0xF4},
    {"otilde", 6, 0xD5, 0xF5}, {"ouml", 4, 0xD6, 0xF6},   {"times", 5, 0xD7, 0xD7},  {"oslash", 6, 0xD8, 0xF8},
    {"ugrave", 6, 0xD9, 0xF9}, {"uacute", 6, 0xDA, 0xFA}, {"ucirc", 5, 0xDB, 0xFB},  {"uuml", 4, 0xDC, 0xFC},
    {"yacute", 6, 0xDD, 0xFD}, {"thorn", 5, 0xDE, 0xFE},  {"szlig", 5, 0xDF, 0xDF},  {"divide", 6, 0xF7, 0xF7},
    {"yuml", 4, 0xFF, 0xFF},
};

// Entity names are ASCII; folding only A-Z keeps the match independent of
// the code page.
unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// The row whose name starts `text` (compared without case), or null. A NUL in
// the text never equals a name letter, so the comparison stops there.
const Entity* matchEntity(const char* text) {
    for (const Entity& entity : kEntities) {
        unsigned char k = 0;
        while (k < entity.length && foldAscii(static_cast<unsigned char>(text[k])) == static_cast<unsigned char>(entity.name[k]))
            ++k;
        if (k == entity.length)
            return &entity;
    }
    return nullptr;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

const char* findTextNoCase(const char* text, const char* lowerPattern) {
    if (!text || !lowerPattern || !*text)
        return nullptr;
    const unsigned char first = static_cast<unsigned char>(lowerPattern[0]);
    if (first == 0)
        return text;
    const unsigned char* map = lowerCaseMap();
    const unsigned char* rest = reinterpret_cast<const unsigned char*>(lowerPattern) + 1;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (map[*p] != first)
            continue;
        size_t k = 0;
        // The text's NUL lowers to 0, which never equals a pattern byte, so
        // a match can never run past the end of the text.
        while (rest[k] && map[p[1 + k]] == rest[k])
            ++k;
        if (!rest[k])
            return reinterpret_cast<const char*>(p);
    }
    return nullptr;
}

char* findTextNoCase(char* text, const char* lowerPattern) {
    return const_cast<char*>(findTextNoCase(static_cast<const char*>(text), lowerPattern));
}

void stripTags(char* text) {
    char* out = text;
    const char* in = text;
    while (*in) {
        if (*in != '<') {
            *out++ = *in++;
            continue;
        }
        const char* close = std::strchr(in + 1, '>');
        if (!close)
            break;
        in = close + 1;
    }
    *out = '\0';
}

void decodeEntities(char* text) {
    char* out = text;
    const char* in = text;
    while (*in) {
        if (*in != '&') {
            *out++ = *in++;
            continue;
        }
        if (in[1] == '#') {
            // Only the low 8 bits of the number count, so it is kept modulo
            // 256 and cannot overflow however many digits a page writes.
            const char* digit = in + 2;
            unsigned code = 0;
            while (isDigit(*digit))
                code = (code * 10 + static_cast<unsigned>(*digit++ - '0')) & 0xFFu;
            // A reference without digits, or one that would give a NUL
            // (&#0;, &#256;), would cut the text short: it stays as written.
            if (digit == in + 2 || code == 0) {
                *out++ = *in++;
                continue;
            }
            *out++ = static_cast<char>(code);
            in = digit;
            if (*in == ';')
                ++in;
            continue;
        }
        if (const Entity* entity = matchEntity(in + 1)) {
            bool capital = in[1] >= 'A' && in[1] <= 'Z';
            *out++ = static_cast<char>(capital ? entity->capital : entity->small);
            in += 1 + entity->length;
            if (*in == ';')
                ++in;
            continue;
        }
        *out++ = *in++;
        if (*in == ';')
            ++in;
    }
    *out = '\0';
}

void collapseSpaces(char* text) {
    char* out = text;
    for (const char* in = text; *in; ++in) {
        char c = static_cast<unsigned char>(*in) < 0x20 ? ' ' : *in;
        if (c == ' ' && (out == text || out[-1] == ' '))
            continue;
        *out++ = c;
    }
    if (out != text && out[-1] == ' ')
        --out;
    *out = '\0';
}

char* findTitle(char* head) {
    char* start = findTextNoCase(head, "<title>");
    if (!start)
        return nullptr;
    start += 7;
    char* end = findTextNoCase(start, "</title>");
    if (!end)
        return nullptr;
    *end = '\0';
    stripTags(start);
    decodeEntities(start);
    collapseSpaces(start);
    return start;
}
