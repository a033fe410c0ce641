#include "extract/html_scanner.h"

#include <cstring>

#include "core/text_helpers.h"

namespace {

const char* const kTagNames[] = {
    "a",     "applet", "area", "base",  "bgsound", "body",   "embed", "form", "frame",   "link",
    "img",   "input",  "script", "sound", "table", "td",     "th",    "!--",  "comment",
};

const char* const kAttributeNames[] = {
    "action", "background", "code", "codebase", "href", "lowsrc", "src", "usemap", "vrml",
};

struct LinkRule {
    int8_t tag;
    int8_t attribute;
    uint8_t flags;
};

const LinkRule kLinkRules[] = {
    {TAG_A, ATTRIBUTE_HREF, DocumentLink},
    {TAG_APPLET, ATTRIBUTE_CODE, InlineMedia | DropAttributeIfMissing},
    {TAG_APPLET, ATTRIBUTE_CODEBASE, DocumentLink | CodeBaseLink},
    {TAG_AREA, ATTRIBUTE_HREF, DocumentLink},
    {TAG_BASE, ATTRIBUTE_HREF, DocumentLink | BaseLink},
    {TAG_BGSOUND, ATTRIBUTE_SRC, InlineMedia | DropTagIfMissing},
    {TAG_BODY, ATTRIBUTE_BACKGROUND, InlineMedia | DropAttributeIfMissing},
    {TAG_EMBED, ATTRIBUTE_SRC, InlineMedia | DropTagIfMissing},
    {TAG_FORM, ATTRIBUTE_ACTION, DocumentLink},
    {TAG_FRAME, ATTRIBUTE_SRC, DocumentLink},
    {TAG_LINK, ATTRIBUTE_HREF, DocumentLink},
    {TAG_IMG, ATTRIBUTE_SRC, InlineMedia},
    {TAG_IMG, ATTRIBUTE_LOWSRC, InlineMedia | DropAttributeIfMissing},
    {TAG_IMG, ATTRIBUTE_USEMAP, DocumentLink | DropAttributeIfMissing},
    {TAG_IMG, ATTRIBUTE_VRML, InlineMedia | DropAttributeIfMissing},
    {TAG_INPUT, ATTRIBUTE_SRC, InlineMedia},
    {TAG_SCRIPT, ATTRIBUTE_SRC, DocumentLink | DropAttributeIfMissing},
    {TAG_SOUND, ATTRIBUTE_SRC, InlineMedia | DropTagIfMissing},
    {TAG_TABLE, ATTRIBUTE_BACKGROUND, InlineMedia | DropAttributeIfMissing},
    {TAG_TD, ATTRIBUTE_BACKGROUND, InlineMedia | DropAttributeIfMissing},
    {TAG_TH, ATTRIBUTE_BACKGROUND, InlineMedia | DropAttributeIfMissing},
};

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Markup names are ASCII, so the locale plays no part. A name matches when the
// text begins with it and no letter follows: "applet" is not "a", "!--x" is
// no comment. The NUL that ends the text never matches a name character, so
// nothing behind it is read.
bool matchesName(const char* text, const char* name) {
    for (; *name; ++name, ++text) {
        if (asciiLower(*text) != *name)
            return false;
    }
    return !isAsciiLetter(*text);
}

template <size_t N>
int32_t lookupName(const char* text, const char* const (&names)[N]) {
    for (size_t i = 0; i < N; ++i) {
        if (matchesName(text, names[i]))
            return static_cast<int32_t>(i);
    }
    return -1;
}

}  // namespace

uint32_t linkRuleFlags(int32_t tag, int32_t attribute) {
    for (const LinkRule& rule : kLinkRules) {
        if (rule.tag == tag && rule.attribute == attribute)
            return rule.flags;
    }
    return 0;
}

HtmlScanner::HtmlScanner(const char* text)
    : end_(text + std::strlen(text)), chunkStart_(text), chunkEnd_(text) {}

const char* HtmlScanner::skipBlanks(const char* p) const {
    while (p < chunkEnd_ && *p >= 0x01 && *p <= 0x20)
        ++p;
    return p;
}

const char* HtmlScanner::findChar(const char* from, char c) const {
    if (from >= end_)
        return nullptr;
    return static_cast<const char*>(std::memchr(from, c, static_cast<size_t>(end_ - from)));
}

bool HtmlScanner::nextChunk() {
    if (chunkEnd_ >= end_)
        return false;
    chunkStart_ = chunkEnd_;
    tag_ = TAG_NONE;
    flags_ = 0;
    attribute_ = ATTRIBUTE_NONE;
    scan_ = nullptr;

    const char* p = chunkStart_;
    while (p < end_) {
        if (*p != '<') {
            p = findChar(p, '<');
            if (!p)
                break;
            continue;
        }
        int32_t row = lookupName(p + 1, kTagNames);
        const char* resume = nullptr;
        if (row == TAG_COMMENT_OPEN) {
            // From the second opening dash on, so that "<!--->" is a whole comment.
            const char* close = std::strstr(p + 3, "-->");
            resume = close ? close + 3 : nullptr;
        } else if (row == TAG_COMMENT) {
            const char* close = findTextNoCase(p + 1, "</comment>");
            resume = close ? close + 10 : nullptr;
        } else if (row >= 0) {
            if (p != chunkStart_) {
                chunkEnd_ = p;
                return true;
            }
            tag_ = row;
            scan_ = p + 1 + std::strlen(kTagNames[row]);
            const char* close = findChar(scan_, '>');
            chunkEnd_ = close ? close + 1 : end_;
            return true;
        } else {
            const char* close = findChar(p + 1, '>');
            resume = close ? close + 1 : nullptr;
        }
        if (!resume)
            break;
        p = resume;
    }
    chunkEnd_ = end_;
    return true;
}

bool HtmlScanner::nextLinkAttribute() {
    if (tag_ < 0 || !scan_)
        return false;
    while (scan_ < chunkEnd_) {
        if (readAttribute())
            return true;
    }
    return false;
}

// Reads one attribute from scan_ and moves scan_ behind it; true when it is
// a link of the current tag.
bool HtmlScanner::readAttribute() {
    const char* p = skipBlanks(scan_);
    if (p >= chunkEnd_ || !isAsciiLetter(*p)) {
        scan_ = chunkEnd_;
        return false;
    }
    const char* start = p;
    int32_t attribute = lookupName(p, kAttributeNames);
    while (p < chunkEnd_ && isAsciiLetter(*p))
        ++p;
    p = skipBlanks(p);

    const char* value = p;
    const char* valueEnd = p;
    char quote = 0;
    if (p < chunkEnd_ && *p == '=') {
        p = skipBlanks(p + 1);
        if (p < chunkEnd_ && (*p == '"' || *p == '\'')) {
            quote = *p;
            p = skipBlanks(p + 1);
            value = p;
            while (p < chunkEnd_ && *p != quote && *p != '>')
                ++p;
            valueEnd = p;
            if (p < chunkEnd_ && *p == quote)
                ++p;
        } else {
            value = p;
            while (p < chunkEnd_ && static_cast<unsigned char>(*p) > 0x20 && *p != '>')
                ++p;
            valueEnd = p;
        }
    }
    scan_ = p;

    if (attribute < 0 || valueEnd == value)
        return false;
    uint32_t flags = linkRuleFlags(tag_, attribute);
    if (!flags)
        return false;
    attributeStart_ = start;
    attributeLength_ = static_cast<size_t>(p - start);
    valueStart_ = value;
    valueLength_ = static_cast<size_t>(valueEnd - value);
    valueQuote_ = quote;
    attribute_ = attribute;
    flags_ = flags;
    return true;
}
