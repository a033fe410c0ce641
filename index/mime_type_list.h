// The MIME types met in the cache index. A type's position in the list is
// its index: the known types first, then every other type in the order of
// its first appearance.
#pragma once

#include <cstdint>
#include <memory>

#include "core/folded_names.h"
#include "core/sort_key_table.h"
#include "core/sorted_collection.h"

// An index may name thousands of distinct types, so a type is found through
// two tables instead of by going down the list: by its letters, which
// answers the records of every type met before without a sort key, and by
// its sort key, which decides the rest exactly as the locale does. The
// locale's comparison item by item is left only for types whose sort key
// cannot be made.
class MimeTypeList {
public:
    MimeTypeList();
    MimeTypeList(const MimeTypeList&) = delete;
    MimeTypeList& operator=(const MimeTypeList&) = delete;

    // False when the list could not be made.
    bool valid() const { return types_.status() == 0; }

    int32_t count() const { return types_.count(); }
    // The type with index `index` (0 <= index < count()), owned by the list.
    const NamedItem* at(int32_t index) const { return types_.at(index); }

    // The index of the type equal to `mimeType` in the locale's
    // case-insensitive order (the list never holds two such types), or -1.
    int32_t find(const char* mimeType) const;

    // Appends a type that find() does not know; its index, or -1 when memory
    // ran out (the list then stays as it was).
    int32_t append(const char* mimeType);

    // find(), and append() when it finds nothing.
    int32_t findOrAppend(const char* mimeType);

private:
    // Types are held in the tables as their index plus 1, so that 0 is none.
    struct NameAt {
        const MimeTypeList* list;
        const char* operator()(uint32_t slot) const { return list->types_.at(static_cast<int32_t>(slot - 1))->name(); }
    };
    struct KeyAt {
        const MimeTypeList* list;
        const unsigned char* key(uint32_t slot) const { return list->types_.at(static_cast<int32_t>(slot - 1))->sortKey(); }
        uintptr_t group(uint32_t) const { return 0; }
    };

    int32_t findByLocale(const char* mimeType) const;

    SortedCollection types_;
    FoldedNameTable<uint32_t, NameAt> byLetters_{NameAt{this}};
    SortKeyTable<uint32_t, KeyAt> byKey_{KeyAt{this}};
    // Types with bytes outside printable ASCII: only they can equal a name
    // whose letters differ from theirs.
    int32_t unusual_ = 0;
    // Types without a sort key: while there is one, the key table cannot
    // tell that a name is absent.
    int32_t unkeyed_ = 0;
};

// A new list, or null when memory ran out.
std::unique_ptr<MimeTypeList> makeMimeTypeList();
