// The file names of the cache directory, for the one question the scan asks
// of every record: is its file there (compared case-insensitively, in the
// locale's sense)?
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/folded_names.h"
#include "core/sorted_collection.h"

// A directory of a large cache holds tens of thousands of files. Making a
// sort key for each name would cost more than listing the directory, so the
// names are kept by their letters: a name of printable ASCII characters is
// equal to another such name, in the locale's case-insensitive sense,
// exactly when their letters are equal once lowered. Only names with other
// characters (never written by the browser) need the locale, and only they
// pay for it.
class CacheDirectoryFiles {
public:
    CacheDirectoryFiles() = default;
    ~CacheDirectoryFiles();
    CacheDirectoryFiles(const CacheDirectoryFiles&) = delete;
    CacheDirectoryFiles& operator=(const CacheDirectoryFiles&) = delete;

    // False when memory ran out; the set then stays as it was.
    bool add(const char* name);
    // The number of distinct names (by their letters).
    int32_t count() const { return static_cast<int32_t>(byLetters_.count()); }

    enum Presence { ABSENT = 0, PRESENT = 1, OUT_OF_MEMORY = -1 };
    Presence find(const char* name);

private:
    // A name is held as its offset in names_ plus 1, so that 0 is no name
    // and the offsets survive the growth of the block.
    struct NameAt {
        const CacheDirectoryFiles* files;
        const char* operator()(uint32_t slot) const { return files->names_ + slot - 1; }
    };

    bool addUnusual(const char* name);
    Presence findByLocale(const char* name, bool plainOnlyMissed);

    char* names_ = nullptr;  // the names, one after the other, each with its NUL
    size_t used_ = 0;
    size_t capacity_ = 0;
    FoldedNameTable<uint32_t, NameAt> byLetters_{NameAt{this}};
    // The names with characters outside printable ASCII, with their sort
    // keys; null until the first such name is added.
    std::unique_ptr<SortedCollection> unusual_;
    // Every name with its sort key, made the first time a lookup needs it.
    std::unique_ptr<SortedCollection> keyed_;
};

// Printable ASCII only, the characters of the browser's own file names.
bool isPlainAsciiName(const char* name);
