#include "model/shell_icons.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "core/win_handles.h"

namespace {

// Removes the temporary file under whatever name it has last been given.
class TemporaryFile {
public:
    TemporaryFile() { path_[0] = '\0'; }
    ~TemporaryFile() {
        if (path_[0])
            DeleteFileA(path_);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool create() {
        char directory[MAX_PATH];
        DWORD length = GetTempPathA(sizeof directory, directory);
        if (length == 0 || length >= sizeof directory)
            return false;
        return GetTempFileNameA(directory, "trn", 0, path_) != 0;
    }

    // Renames the file to its name with `extension` in place of its own; on
    // failure the file keeps its name.
    bool renameTo(const char* extension) {
        char renamed[MAX_PATH];
        std::strcpy(renamed, path_);
        char* dot = std::strrchr(renamed, '.');
        char* slash = std::strrchr(renamed, '\\');
        if (!dot || (slash && dot < slash))
            dot = renamed + std::strlen(renamed);
        size_t stem = static_cast<size_t>(dot - renamed);
        if (stem + std::strlen(extension) >= sizeof renamed)
            return false;
        std::strcpy(dot, extension);
        if (!MoveFileA(path_, renamed))
            return false;
        std::strcpy(path_, renamed);
        return true;
    }

    const char* path() const { return path_; }

private:
    char path_[MAX_PATH];
};

// The shell's icon of an extension stays the same while the program runs,
// and asking for it costs several registry reads; a cache holds documents
// of a few types only. Both the loading thread and the main thread ask.
class ExtensionIcons {
public:
    ExtensionIcons() { InitializeCriticalSection(&lock_); }
    ~ExtensionIcons() { DeleteCriticalSection(&lock_); }
    ExtensionIcons(const ExtensionIcons&) = delete;
    ExtensionIcons& operator=(const ExtensionIcons&) = delete;

    bool find(const char* extension, int32_t& icon) {
        CriticalSectionLock lock(lock_);
        for (int i = 0; i < count_; ++i) {
            if (std::strcmp(slots_[i].extension, extension) == 0) {
                icon = slots_[i].icon;
                return true;
            }
        }
        return false;
    }

    // Long extensions, and more kinds than there are slots, are not kept:
    // only a crafted cache has them, and each is then asked for anew.
    void remember(const char* extension, int32_t icon) {
        CriticalSectionLock lock(lock_);
        if (count_ == kSlots || std::strlen(extension) >= sizeof slots_[0].extension)
            return;
        std::strcpy(slots_[count_].extension, extension);
        slots_[count_].icon = icon;
        ++count_;
    }

private:
    static constexpr int kSlots = 64;
    struct Slot {
        char extension[16];
        int32_t icon;
    };
    CRITICAL_SECTION lock_;
    Slot slots_[kSlots];
    int count_ = 0;
};

// Made before main, before any thread can ask.
ExtensionIcons gExtensionIcons;

}  // namespace

bool ShellTypeIcons::findIcons(const char* const* extensions, int32_t count, int32_t* icons) {
    TemporaryFile file;
    if (!file.create())
        return false;
    for (int32_t i = 0; i < count; ++i)
        icons[i] = file.renameTo(extensions[i]) ? smallIconIndexOf(file.path()) : 0;
    return true;
}

int32_t smallIconIndexOf(const char* path) {
    SHFILEINFOA info;
    std::memset(&info, 0, sizeof info);
    if (!SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        return 0;
    return info.iIcon;
}

int32_t smallIconIndexOfName(const char* fileName) {
    // The shell is handed "*" and the extension: a name no file can have.
    // Told the attributes, the shell should not look for the file at all,
    // but Wine still reads a file of that name when the type takes its
    // icon from the file itself (icon files, programs).
    const char* dot = std::strrchr(fileName, '.');
    char pattern[MAX_PATH] = "*";
    if (dot && std::strlen(dot) < sizeof pattern - 1)
        std::strcpy(pattern + 1, dot);
    int32_t icon = 0;
    if (gExtensionIcons.find(pattern, icon))
        return icon;
    SHFILEINFOA info;
    std::memset(&info, 0, sizeof info);
    if (SHGetFileInfoA(pattern, FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        icon = info.iIcon;
    gExtensionIcons.remember(pattern, icon);
    return icon;
}
