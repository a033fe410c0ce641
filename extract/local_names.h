// Local names of saved documents: one SaveItem per document of a save, the
// file name proposed for it from its URL, title and type, and the numbering
// that keeps names unique in the target folder. All documents of one save go
// into one folder under bare file names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/named_item.h"
#include "core/owned_text.h"
#include "core/sorted_collection.h"
#include "core/url.h"

class CacheEntry;

// Buffers for file names and paths.
constexpr size_t kNameBufferSize = 260;
// The longest file name the file systems of Windows accept. Every proposed,
// numbered or repaired name is cut to it, the extension kept.
constexpr size_t kMaxLocalNameLength = 255;
// shortenName keeps at most this many characters of a title or path.
constexpr size_t kShortNameLength = 63;

enum SaveItemFlag : uint32_t {
    FLAG_SAVE_DONE = 0x1,
    FLAG_NAMED_BY_USER = 0x2,  // the save dialog asked about overwriting
    FLAG_NUMBERED = 0x4,
    FLAG_OVERWRITE_AGREED = 0x10,  // the user agreed to replace a file of this name
    FLAG_FILE_MADE = 0x20,         // the save made the file of this name itself
    FLAG_NAME_LINKED = 0x40,       // a link to the name is written: it can no longer change
};

// The names in the target folder and those claimed by the running save: a
// sorted, owning collection of plain NamedItems, compared case-insensitively.
// Names are only ever added, never removed.
class TargetNames : public SortedCollection {
public:
    TargetNames();
    ~TargetNames() override;

    // The longest local name the folder takes: the folder's path, a
    // separator and the name must fit in a path buffer of kNameBufferSize
    // bytes. kMaxLocalNameLength until set.
    size_t nameLimit() const { return nameLimit_; }
    void setNameLimit(size_t limit);

    // How many numbered names makeUniqueName has looked up: the work of
    // numbering, which the tests and the benchmark count.

private:
    friend void makeUniqueName(char* out, const char* name, TargetNames& names);
    // The number to try first for `name`: all lower ones are taken.
    int32_t firstFreeNumber(const char* name) const;
    void rememberNumber(const char* name, int32_t number);

    size_t nameLimit_ = kMaxLocalNameLength;
    // Per name numbered so far (compared as the names are), the number its
    // last numbered name took. Made on first use; without it numbering
    // starts at 2, which gives the same names, only slower.
    std::unique_ptr<SortedCollection> numbers_;
};
// Flag of a TargetNames item: a file of the current save takes this name.
constexpr uint32_t FLAG_CLAIMED_IN_RUN = 0x8;

// One document of a save. Its name is the document's URL, so a save's items
// are ordered and found by URL.
class SaveItem : public NamedItem {
public:
    // `title` is the document's own title, or null while it is not known.
    // Status -1 when a copy failed; pass the item through checkCreated.
    SaveItem(const char* url, const char* sourceFile, int32_t mimeIndex, const char* title);

    const Url& url() const { return url_; }
    const char* sourceFile() const { return sourceFile_.view(); }
    const char* localName() const { return localName_.view(); }
    int32_t mimeIndex() const { return mimeIndex_; }
    // Only HTML documents have their links rewritten; all others are copied.
    bool isHtml() const { return mimeIndex_ == 0; }

    // Takes a copy of `name` as the local name; on failure the old name
    // stays and false is returned.
    bool rename(const char* name);

private:
    Url url_;
    OwnedText sourceFile_;
    OwnedText localName_;
    int32_t mimeIndex_;
};

// The SaveItem of a cached document, its local name proposed; null or an
// item whose status is not 0 on failure (see checkCreated).
SaveItem* makeSaveItem(const CacheEntry& entry);

// Writes the proposed local name of a document into `out` (kNameBufferSize
// bytes). `title` is null while the document's own title is not known.
void proposeLocalName(char* out, const Url& url, int32_t mimeIndex, const char* title);

// Replaces control characters and the characters that file names cannot
// hold (and "#" and "%", which would break a link to the file) by "-", in
// place; returns the start of the name without its leading and trailing
// dashes, which may be empty.
char* sanitizeFileName(char* text);

// Copies at most kShortNameLength characters of `text` into `out` (`size`
// bytes), cut before its last space or "/" when there is one behind the
// first character.
void shortenName(char* out, size_t size, const char* text);

// Makes `name` (a buffer of `size` bytes) a name under which an ordinary
// file of the chosen folder is written: at most kMaxLocalNameLength
// characters with the extension kept, no trailing dots or spaces (Windows
// drops them and would write another name), and no device name of Windows
// (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9 and LPT1-9 with the
// superscript digits 1-3 as well, with any extension), which would send the
// data to the device. Changes as little as it can; true when it changed
// anything.
bool makeOrdinaryFileName(char* name, size_t size);

// Writes into `out` (kNameBufferSize bytes) the first of "name (2).ext",
// "name (3).ext", ... that `names` does not hold, its base cut so that the
// result has at most names.nameLimit() characters (a limit shorter than the
// number itself leaves the result longer). Remembers the number per name,
// so that numbering one name over and over costs the same each time.
void makeUniqueName(char* out, const char* name, TargetNames& names);
