#include "index/mime_type_list.h"

#include <new>

#include "core/named_item.h"
#include "index/cache_directory_files.h"

MimeTypeList::MimeTypeList() : types_(SortedCollection::kCapacity, SortedCollection::kDelta, false, true, false) {}

int32_t MimeTypeList::find(const char* mimeType) const {
    if (uint32_t slot = byLetters_.find(mimeType))
        return static_cast<int32_t>(slot - 1);
    // Printable ASCII names are equal in the locale's sense only when their
    // letters are: a new type of the usual kind needs no sort key.
    if (unusual_ == 0 && isPlainAsciiName(mimeType))
        return -1;
    if (unkeyed_ > 0)
        return findByLocale(mimeType);
    TextKey key(mimeType);
    if (!key.sortKey())
        return findByLocale(mimeType);
    uint32_t slot = byKey_.find(0, key.sortKey());
    return slot ? static_cast<int32_t>(slot - 1) : -1;
}

int32_t MimeTypeList::findByLocale(const char* mimeType) const {
    SearchResult found = types_.searchKey(mimeType);
    return found.found ? found.index : -1;
}

int32_t MimeTypeList::append(const char* mimeType) {
    int32_t index = types_.insertStringAt(types_.count(), mimeType);
    if (index < 0)
        return -1;
    uint32_t slot = static_cast<uint32_t>(index) + 1;
    const NamedItem* type = types_.at(index);
    if (type->sortKey()) {
        if (!byKey_.add(slot)) {
            types_.removeAt(index);
            return -1;
        }
    } else {
        ++unkeyed_;
    }
    if (!isPlainAsciiName(mimeType))
        ++unusual_;
    // The letter table only spares sort keys: a type it could not take is
    // still found by its key.
    byLetters_.add(slot);
    return index;
}

int32_t MimeTypeList::findOrAppend(const char* mimeType) {
    int32_t index = find(mimeType);
    return index >= 0 ? index : append(mimeType);
}

std::unique_ptr<MimeTypeList> makeMimeTypeList() {
    std::unique_ptr<MimeTypeList> list(new (std::nothrow) MimeTypeList());
    if (list && !list->valid())
        list.reset();
    return list;
}
