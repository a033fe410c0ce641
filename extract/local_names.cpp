#include "extract/local_names.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "core/file_paths.h"
#include "core/test_seam.h"
#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "model/cache_model.h"

namespace {

// An extension longer than this is no extension worth keeping when a name
// must be cut.
constexpr size_t kMaxKeptExtension = 32;

const char kUnknownName[] = "unknown";

bool isForbiddenChar(unsigned char c) {
    return c < 0x20 || std::strchr("\\/:*?<>\"#|%", c) != nullptr;
}

// The length of the extension of `name` (from its last "."), or 0 when it has
// none or one too long to keep.
size_t keptExtensionLength(const char* name, size_t length) {
    const char* dot = std::strrchr(name, '.');
    if (!dot)
        return 0;
    size_t extension = length - static_cast<size_t>(dot - name);
    return extension <= kMaxKeptExtension && extension < length ? extension : 0;
}

void cutToLength(char* name, size_t limit) {
    size_t length = std::strlen(name);
    if (length <= limit)
        return;
    size_t extension = keptExtensionLength(name, length);
    // A limit too short for the extension and one letter of the name keeps
    // the name's start instead.
    if (extension >= limit)
        extension = 0;
    std::memmove(name + (limit - extension), name + (length - extension), extension + 1);
}

bool stripTrailingDotsAndSpaces(char* name) {
    size_t length = std::strlen(name);
    size_t kept = length;
    while (kept > 0 && (name[kept - 1] == '.' || name[kept - 1] == ' '))
        --kept;
    name[kept] = '\0';
    return kept != length;
}

}  // namespace

SaveItem::SaveItem(const char* url, const char* sourceFile, int32_t mimeIndex, const char* title)
    : NamedItem(url), mimeIndex_(mimeIndex) {
    if (status() != 0)
        return;
    parseUrl(url_, name(), false);
    char proposed[kNameBufferSize];
    proposeLocalName(proposed, url_, mimeIndex, title);
    if (!url_.path || url_.incomplete || !sourceFile_.assign(sourceFile) || !localName_.assign(proposed))
        setStatus(-1);
}

bool SaveItem::rename(const char* name) {
    return localName_.assign(name);
}

SaveItem* makeSaveItem(const CacheEntry& entry) {
    const char* title = entry.hasAnyFlag(FLAG_TITLE_PENDING) ? nullptr : entry.title();
    return new (std::nothrow) SaveItem(entry.url(), entry.localFile(), entry.mimeIndex(), title);
}

void proposeLocalName(char* out, const Url& url, int32_t mimeIndex, const char* title) {
    // Room for a name of kNameBufferSize - 1 characters and an extension.
    char buffer[kNameBufferSize + 8];
    bool fromUrl = static_cast<bool>(url.fileName);
    if (fromUrl)
        copyTextBounded(buffer, kNameBufferSize, url.fileName.get());
    else if (mimeIndex == 0 && title)
        shortenName(buffer, sizeof buffer, title);
    else
        shortenName(buffer, sizeof buffer, url.path.view());

    char* name = sanitizeFileName(buffer);
    if (!*name)
        name = std::strcpy(buffer, kUnknownName);
    if ((!fromUrl || !std::strchr(name, '.')) && mimeIndex < kKnownTypeCount)
        appendTextBounded(buffer, sizeof buffer, extensionForType(mimeIndex));
    if (name != buffer)
        std::memmove(buffer, name, std::strlen(name) + 1);
    makeOrdinaryFileName(buffer, sizeof buffer);
    copyTextBounded(out, kNameBufferSize, buffer);
}

char* sanitizeFileName(char* text) {
    size_t length = 0;
    for (; text[length]; ++length) {
        if (isForbiddenChar(static_cast<unsigned char>(text[length])))
            text[length] = '-';
    }
    while (length > 1 && text[length - 1] == '-')
        text[--length] = '\0';
    while (*text == '-')
        ++text;
    return text;
}

void shortenName(char* out, size_t size, const char* text) {
    if (size == 0)
        return;
    size_t length = std::strlen(text);
    if (length > kShortNameLength)
        length = kShortNameLength;
    if (length > size - 1)
        length = size - 1;
    std::memcpy(out, text, length);
    out[length] = '\0';
    for (size_t i = length; i-- > 1;) {
        if (out[i] == ' ' || out[i] == '/') {
            out[i] = '\0';
            break;
        }
    }
}

bool makeOrdinaryFileName(char* name, size_t size) {
    if (size == 0)
        return false;
    size_t limit = size - 1 < kMaxLocalNameLength ? size - 1 : kMaxLocalNameLength;
    size_t before = std::strlen(name);
    bool changed = before > limit;
    cutToLength(name, limit);
    changed |= stripTrailingDotsAndSpaces(name);
    if (!*name) {
        copyTextBounded(name, size, kUnknownName);
        return true;
    }
    size_t device = deviceNameLength(name);
    if (device == 0)
        return changed;
    // "con.htm" becomes "con-.htm": the dash is the character that stands
    // for what a file name cannot hold, and a device name followed by
    // anything but spaces and a dot is an ordinary name.
    size_t length = std::strlen(name);
    if (length >= limit)
        name[--length] = '\0';
    std::memmove(name + device + 1, name + device, length - device + 1);
    name[device] = '-';
    stripTrailingDotsAndSpaces(name);
    return true;
}

namespace {

// A name numbered before, with the number its last numbered name took.
class NumberedName : public NamedItem {
public:
    NumberedName(const char* name, int32_t found) : NamedItem(name), number(found) {}
    int32_t number;
};

}  // namespace

TargetNames::TargetNames() : SortedCollection(kCapacity, kDelta, true, true, false) {}

TargetNames::~TargetNames() = default;

void TargetNames::setNameLimit(size_t limit) {
    nameLimit_ = limit < kMaxLocalNameLength ? limit : kMaxLocalNameLength;
    // The numbered names depend on the limit: what was remembered is void.
    numbers_.reset();
}

int32_t TargetNames::firstFreeNumber(const char* name) const {
    if (!numbers_)
        return 2;
    SearchResult at = numbers_->searchKey(name);
    return at.found ? static_cast<NumberedName*>(numbers_->at(at.index))->number : 2;
}

// Starting again at the number found last is right because names are never
// removed: every lower number is still taken. The number found, not the
// next one, is kept, since the caller may not claim the name.
void TargetNames::rememberNumber(const char* name, int32_t number) {
    if (!numbers_)
        numbers_ = makeNameList();
    if (!numbers_)
        return;
    SearchResult at = numbers_->searchKey(name);
    if (at.found) {
        static_cast<NumberedName*>(numbers_->at(at.index))->number = number;
        return;
    }
    int32_t status;
    NumberedName* entry = checkCreated(new (std::nothrow) NumberedName(name, number), status);
    if (entry && numbers_->insertAt(at.index, entry) < 0)
        delete entry;
}

void makeUniqueName(char* out, const char* name, TargetNames& names) {
    size_t limit = names.nameLimit();
    size_t length = std::strlen(name);
    if (length > kNameBufferSize - 1)
        length = kNameBufferSize - 1;
    const char* dot = std::strrchr(name, '.');
    size_t extension = dot && dot < name + length ? length - static_cast<size_t>(dot - name) : 0;
    for (int32_t n = names.firstFreeNumber(name);; ++n) {
        char suffix[16];
        int suffixLength = std::snprintf(suffix, sizeof suffix, " (%ld)", static_cast<long>(n));
        size_t added = static_cast<size_t>(suffixLength);
        // An extension that leaves no room for the number and one character
        // of the base is treated as part of the base.
        size_t ext = extension + added < limit ? extension : 0;
        size_t base = length - ext;
        if (base + added + ext > limit)
            base = limit > added + ext ? limit - added - ext : 0;
        std::memcpy(out, name, base);
        std::memcpy(out + base, suffix, added);
        std::memcpy(out + base + added, name + (length - ext), ext);
        out[base + added + ext] = '\0';
        ++testSeam().numberedLookups;
        if (!names.searchKey(out).found) {
            names.rememberNumber(name, n);
            return;
        }
    }
}
