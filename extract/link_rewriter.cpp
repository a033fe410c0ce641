#include "extract/link_rewriter.h"

#include <cstdlib>
#include <cstring>

#include "core/owned_text.h"
#include "core/text_locale.h"
#include "extract/extraction_job.h"
#include "extract/html_scanner.h"
#include "extract/link_matching.h"
#include "core/url.h"
#include "index/cache_entry.h"
#include "model/cache_model.h"
#include "model/domain_folder.h"

namespace {

// Links are composed on the stack up to this size, on the heap beyond it.
constexpr size_t kComposeBufferSize = 520;
// The parts of a link looked up in the cache: all but the fragment.
constexpr uint32_t kLookupParts = 0xFF;
constexpr uint32_t kAllParts = 0x1FF;

const char kMissingMedia[] = "missing";

// Two absent hosts are equal, an absent and a present one are not.
bool sameHost(const OwnedText& a, const OwnedText& b) {
    if (!a || !b)
        return !a && !b;
    return compareTextNoCase(a.get(), b.get()) == 0;
}

size_t composedLength(const Url& url) {
    const OwnedText* parts[] = {&url.scheme, &url.authority, &url.path, &url.fileName, &url.params, &url.query, &url.fragment};
    size_t length = 0;
    for (const OwnedText* part : parts)
        length += std::strlen(part->view());
    return length;
}

// A NUL-terminated text in a stack buffer, or on the heap when it is longer.
class ScratchText {
public:
    explicit ScratchText(size_t length) {
        if (length < sizeof inline_) {
            text_ = inline_;
        } else {
            heap_.reset(static_cast<char*>(std::malloc(length + 1)));
            text_ = heap_.data();
        }
        if (text_)
            text_[0] = '\0';
    }
    char* get() { return text_; }

private:
    char inline_[kComposeBufferSize];
    OwnedText heap_;
    char* text_ = nullptr;
};

// An unquoted value ends at a blank (a ">" is written encoded); one that
// begins with a quote (the backquote too, for older browsers) is read as
// quoted; an empty one would take the next attribute as its value.
bool needsQuotes(const char* value) {
    if (!*value || *value == '\'' || *value == '`')
        return true;
    for (; *value; ++value) {
        if (static_cast<unsigned char>(*value) <= 0x20)
            return true;
    }
    return false;
}

// The characters that could end a value or start markup, percent-encoded
// wherever a value is written: a URL from the index or from a base tag may
// hold any of them. A single quote ends only a value in single quotes.
const char* escapeFor(char c, char quote) {
    switch (c) {
    case '"':
        return "%22";
    case '\'':
        return quote == '\'' ? "%27" : nullptr;
    case '<':
        return "%3C";
    case '>':
        return "%3E";
    default:
        return nullptr;
    }
}

class DocumentRewriter {
public:
    DocumentRewriter(const char* text, size_t length, SaveItem& item, ExtractionJob& job, TextSink& sink)
        : item_(item), job_(job), sink_(sink), scanner_(text), write_(text), end_(text + length) {}

    MessageCode run();

private:
    // Handles the current link attribute; true when the tag was left out.
    bool handleLink();
    SaveItem* findTarget(ExtractOptions options);
    void writeUpTo(const char* position);
    void writeText(const char* text);
    void writeEncoded(const char* text, char quote);
    void writeValue(SaveItem* target, ExtractOptions options, uint32_t flags);

    SaveItem& item_;
    ExtractionJob& job_;
    TextSink& sink_;
    HtmlScanner scanner_;
    const char* write_;  // everything before it is written or left out
    const char* end_;    // the end of the page, behind any NUL in it
    const DomainFolder* ownFolder_ = nullptr;
    Url base_;
    Url codeBase_;
    Url link_;
    bool outOfMemory_ = false;
};

MessageCode DocumentRewriter::run() {
    const FolderList& root = *job_.model().cacheRoot;
    if (item_.url().host) {
        SearchResult at = root.searchKey(item_.url().host.get());
        if (at.found)
            ownFolder_ = root.folderAt(at.index);
    }
    bool whole = false;
    while (!sink_.failed() && job_.status() == 0 && job_.pump()) {
        if (!scanner_.nextChunk()) {
            whole = true;
            break;
        }
        // A code base holds for its own applet only: an applet without one
        // loads its code relative to the page.
        if (scanner_.tagIndex() == TAG_APPLET)
            clearUrl(codeBase_);
        bool dropped = false;
        while (!dropped && !sink_.failed() && scanner_.nextLinkAttribute()) {
            dropped = handleLink();
            if (outOfMemory_)
                return MSG_OUT_OF_MEMORY;
        }
        writeUpTo(scanner_.chunkEnd());
    }
    // The scanner stops at the first NUL; what follows is no text to look
    // into, but it is part of the document.
    if (whole)
        writeUpTo(end_);
    if (job_.status() != 0)
        return MSG_OUT_OF_MEMORY;
    return sink_.failed() ? MSG_COPY_FAILED : MSG_OK;
}

bool DocumentRewriter::handleLink() {
    uint32_t flags = scanner_.linkFlags();
    ScratchText value(scanner_.valueLength());
    if (!value.get()) {
        outOfMemory_ = true;
        return false;
    }
    std::memcpy(value.get(), scanner_.valueStart(), scanner_.valueLength());
    value.get()[scanner_.valueLength()] = '\0';

    parseUrl(link_, value.get(), false);
    if (scanner_.tagIndex() == TAG_APPLET && scanner_.attributeIndex() == ATTRIBUTE_CODE)
        resolveUrl(link_, codeBase_);
    else if (scanner_.tagIndex() == TAG_APPLET && scanner_.attributeIndex() == ATTRIBUTE_CODEBASE)
        parseUrl(codeBase_, value.get(), true);
    else if (flags & BaseLink)
        parseUrl(base_, value.get(), false);
    if (!(flags & (BaseLink | CodeBaseLink))) {
        resolveUrl(link_, base_);
        resolveUrl(link_, item_.url());
    }
    // A link whose parts could not all be copied would be matched and
    // written as some other URL.
    if (link_.incomplete || base_.incomplete || codeBase_.incomplete) {
        outOfMemory_ = true;
        return false;
    }

    ExtractOptions options = job_.options();
    if (link_.schemeIndex >= SCHEME_TELNET)
        options &= ~kReplaceMissing;
    options &= (flags & DocumentLink) ? kTextOptions : kMediaOptions;
    if (!(options & kReplaceMissing))
        flags &= ~(DropTagIfMissing | DropAttributeIfMissing);

    SaveItem* target = nullptr;
    bool follows = (options & (kFollowInternal | kFollowExternal)) != 0;
    bool followsDocument = (flags & DocumentLink) && !(flags & (BaseLink | CodeBaseLink)) && follows;
    if (followsDocument || ((flags & InlineMedia) && follows))
        target = findTarget(options);

    const char* attributeStart = scanner_.attributeStart();
    const char* attributeEnd = attributeStart + scanner_.attributeLength();
    if ((flags & BaseLink) || (!target && (flags & DropTagIfMissing))) {
        if (write_ == scanner_.chunkStart()) {
            write_ = scanner_.chunkEnd();
            return true;
        }
        // An earlier link of this tag is written already: leaving out the
        // rest would leave a tag without its ">", which swallows the text
        // behind it. Browsers use the first of two equal attributes, so
        // leaving out this one alone keeps the tag's meaning.
        writeUpTo(attributeStart);
        write_ = attributeEnd;
        return false;
    }
    writeUpTo(attributeStart);
    if ((flags & CodeBaseLink) || (!target && (flags & DropAttributeIfMissing))) {
        write_ = attributeEnd;
        return false;
    }
    writeUpTo(scanner_.valueStart());
    write_ = scanner_.valueStart() + scanner_.valueLength();
    writeValue(target, options, flags);
    writeUpTo(attributeEnd);
    return false;
}

SaveItem* DocumentRewriter::findTarget(ExtractOptions options) {
    const DomainFolder* folder = nullptr;
    if (ownFolder_ && sameHost(link_.host, item_.url().host)) {
        if (options & kFollowInternal)
            folder = ownFolder_;
    } else if ((options & kFollowExternal) && link_.host) {
        const FolderList& root = *job_.model().cacheRoot;
        SearchResult at = root.searchKey(link_.host.get());
        if (at.found)
            folder = root.folderAt(at.index);
    }
    if (!folder)
        return nullptr;

    ScratchText text(composedLength(link_));
    if (!text.get()) {
        outOfMemory_ = true;
        return nullptr;
    }
    composeUrl(link_, text.get(), composedLength(link_) + 1, kLookupParts);
    SearchResult at = folder->searchKey(text.get());
    const CacheEntry* entry = at.found ? folder->entryAt(at.index) : findBestMatch(item_, *folder, link_, job_);
    if (!entry)
        return nullptr;
    SaveItem* target = job_.findItem(*entry);
    if (!target) {
        int32_t index = addDocument(job_, *entry);
        if (index >= 0)
            target = job_.itemAt(index);
    }
    return target;
}

void DocumentRewriter::writeUpTo(const char* position) {
    if (position > write_) {
        sink_.write(write_, static_cast<size_t>(position - write_));
        write_ = position;
    }
}

void DocumentRewriter::writeText(const char* text) {
    sink_.write(text, std::strlen(text));
}

void DocumentRewriter::writeEncoded(const char* text, char quote) {
    const char* run = text;
    for (; *text; ++text) {
        if (const char* escape = escapeFor(*text, quote)) {
            sink_.write(run, static_cast<size_t>(text - run));
            writeText(escape);
            run = text + 1;
        }
    }
    sink_.write(run, static_cast<size_t>(text - run));
}

void DocumentRewriter::writeValue(SaveItem* target, ExtractOptions options, uint32_t flags) {
    const char* prefix = nullptr;
    if (target) {
        job_.settleLocalName(*target);
    } else if (options & kReplaceMissing) {
        const char* page = job_.useMissingPage();
        prefix = (flags & DocumentLink) ? page : kMissingMedia;
    }
    size_t length = target ? std::strlen(target->localName()) + std::strlen(link_.fragment.view())
                           : composedLength(link_) + (prefix ? std::strlen(prefix) + 3 : 0);
    ScratchText value(length);
    if (!value.get()) {
        outOfMemory_ = true;
        return;
    }
    size_t size = length + 1;
    if (target) {
        copyTextBounded(value.get(), size, target->localName());
        appendTextBounded(value.get(), size, link_.fragment.view());
    } else {
        if (prefix) {
            copyTextBounded(value.get(), size, prefix);
            appendTextBounded(value.get(), size, "#{");
        }
        size_t used = std::strlen(value.get());
        composeUrl(link_, value.get() + used, size - used, kAllParts);
        if (prefix)
            appendTextBounded(value.get(), size, "}");
    }
    char quote = scanner_.valueQuote();
    bool addQuotes = !quote && needsQuotes(value.get());
    if (addQuotes)
        writeText("\"");
    writeEncoded(value.get(), addQuotes ? '"' : quote);
    if (addQuotes)
        writeText("\"");
}

}  // namespace

MessageCode rewriteHtml(const char* text, size_t length, SaveItem& item, ExtractionJob& job, TextSink& sink) {
    DocumentRewriter rewriter(text, length, item, job, sink);
    return rewriter.run();
}
