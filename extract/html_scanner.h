// Finding the links of an HTML page: the page is cut into chunks (runs of
// text, and single tags that may carry links), and the attributes of a tag
// chunk are walked for the values that are links.
//
// The page is a cached file and may hold anything: unterminated tags, quotes
// and comments, stray NUL bytes, values of any length. The scanner reads
// nothing beyond the page's first NUL, copies nothing and only moves
// positions in the text.
#pragma once

#include <cstddef>
#include <cstdint>

// What a link attribute does, and what happens to it when its target is not
// saved.
enum LinkFlag : uint32_t {
    DocumentLink = 0x01,            // the text-document options apply
    InlineMedia = 0x02,             // the graphics and media options apply
    BaseLink = 0x04,                // the document's base URL; the tag is left out
    CodeBaseLink = 0x08,            // an applet's code base; the attribute is left out
    DropTagIfMissing = 0x10,        // a missing target leaves the whole tag out
    DropAttributeIfMissing = 0x20,  // a missing target leaves the attribute out
};

// Rows of the tag table.
enum LinkTag : int32_t {
    TAG_NONE = -1,
    TAG_A = 0,
    TAG_APPLET = 1,
    TAG_AREA = 2,
    TAG_BASE = 3,
    TAG_BGSOUND = 4,
    TAG_BODY = 5,
    TAG_EMBED = 6,
    TAG_FORM = 7,
    TAG_FRAME = 8,
    TAG_LINK = 9,
    TAG_IMG = 10,
    TAG_INPUT = 11,
    TAG_SCRIPT = 12,
    TAG_SOUND = 13,
    TAG_TABLE = 14,
    TAG_TD = 15,
    TAG_TH = 16,
    TAG_COMMENT_OPEN = 17,  // "!--"
    TAG_COMMENT = 18,       // "comment"
};

// Rows of the attribute table.
enum LinkAttribute : int32_t {
    ATTRIBUTE_NONE = -1,
    ATTRIBUTE_ACTION = 0,
    ATTRIBUTE_BACKGROUND = 1,
    ATTRIBUTE_CODE = 2,
    ATTRIBUTE_CODEBASE = 3,
    ATTRIBUTE_HREF = 4,
    ATTRIBUTE_LOWSRC = 5,
    ATTRIBUTE_SRC = 6,
    ATTRIBUTE_USEMAP = 7,
    ATTRIBUTE_VRML = 8,
};

// The flags of the (tag, attribute) pair, or 0 when that pair is no link.
uint32_t linkRuleFlags(int32_t tag, int32_t attribute);

class HtmlScanner {
public:
    // `text` must stay alive and unchanged while the scanner is used; it
    // ends at its first NUL.
    explicit HtmlScanner(const char* text);

    // Moves to the next chunk; false when the text is used up.
    bool nextChunk();
    // Moves to the next link attribute of the current tag chunk; false when
    // the chunk has no further one (always for a text chunk).
    bool nextLinkAttribute();

    const char* chunkStart() const { return chunkStart_; }
    const char* chunkEnd() const { return chunkEnd_; }
    // TAG_NONE for a text chunk.
    int32_t tagIndex() const { return tag_; }

    // The current link attribute: its extent runs from the name to behind
    // the closing quote (or behind the value).
    const char* attributeStart() const { return attributeStart_; }
    size_t attributeLength() const { return attributeLength_; }
    const char* valueStart() const { return valueStart_; }
    size_t valueLength() const { return valueLength_; }
    // The quote around the value ('"' or '\''), or 0 for an unquoted value.
    char valueQuote() const { return valueQuote_; }
    int32_t attributeIndex() const { return attribute_; }
    uint32_t linkFlags() const { return flags_; }

private:
    const char* skipBlanks(const char* p) const;
    const char* findChar(const char* from, char c) const;
    bool readAttribute();

    const char* end_;
    const char* chunkStart_;
    const char* chunkEnd_;
    const char* scan_ = nullptr;  // next attribute of a tag chunk
    int32_t tag_ = TAG_NONE;
    const char* attributeStart_ = nullptr;
    size_t attributeLength_ = 0;
    const char* valueStart_ = nullptr;
    size_t valueLength_ = 0;
    char valueQuote_ = 0;
    int32_t attribute_ = ATTRIBUTE_NONE;
    uint32_t flags_ = 0;
};
