#include "browser/browser_program.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "core/file_paths.h"
#include "core/owned_text.h"
#include "core/registry_text.h"
#include "core/win_handles.h"
#include "index/navigator.h"
#include "settings/program_key.h"

namespace {

const char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

bool isOrdinaryFile(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A name without any folder or drive: the shell would search for it, and
// its search begins with the current folder.
bool isBareName(const char* name) {
    return name[0] && !std::strpbrk(name, "\\/:");
}

// Removes one pair of double quotes around `text`, as registry values and
// PATH entries may have them. In place.
void unquote(char* text) {
    size_t length = std::strlen(text);
    if (length >= 2 && text[0] == '"' && text[length - 1] == '"') {
        std::memmove(text, text + 1, length - 2);
        text[length - 2] = '\0';
    }
}

// The default value of `name`'s key under App Paths of `root`, when it names
// an existing file by its full path.
bool registeredApplicationPath(HKEY root, const char* name, char* out, size_t size) {
    char keyName[MAX_PATH];
    if (!copyTextBounded(keyName, sizeof keyName, kAppPathsKey) || !appendTextBounded(keyName, sizeof keyName, name))
        return false;
    RegKey key;
    if (RegOpenKeyExA(root, keyName, 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS) {
        key.release();
        return false;
    }
    if (!readRegistryText(key.get(), "", out, size))
        return false;
    unquote(out);
    return isAbsolutePath(out) && isOrdinaryFile(out);
}

// `name` in the first folder of PATH that holds it as a file. Entries that
// are not absolute ("." or an empty one) would mean the current folder, and
// are passed over.
bool searchPathFolders(const char* name, char* out, size_t size) {
    DWORD length = GetEnvironmentVariableA("PATH", nullptr, 0);
    if (length == 0)
        return false;
    OwnedText entries(static_cast<char*>(std::malloc(length)));
    if (!entries || GetEnvironmentVariableA("PATH", entries.data(), length) >= length)
        return false;
    for (char* entry = entries.data(); entry;) {
        char* end = std::strchr(entry, ';');
        if (end)
            *end = '\0';
        unquote(entry);
        if (isAbsolutePath(entry) && joinPath(out, size, entry, name) && isOrdinaryFile(out))
            return true;
        entry = end ? end + 1 : nullptr;
    }
    return false;
}

bool resolveBareName(const char* name, char* out, size_t size) {
    if (registeredApplicationPath(HKEY_LOCAL_MACHINE, name, out, size) ||
        registeredApplicationPath(HKEY_CURRENT_USER, name, out, size) || searchPathFolders(name, out, size))
        return true;
    out[0] = '\0';
    return false;
}

// `path` made full, with its folders' long names where they can be had, so
// that one place has one spelling.
bool canonicalPath(const char* path, char* out, DWORD size) {
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return false;
    length = GetLongPathNameA(full, out, size);
    if (length == 0 || length >= size)
        return copyTextBounded(out, size, full);
    return true;
}

// Whether the file `path` lies in `folder` or below it. Compared without
// regard to case, as the file system compares names; a path that cannot be
// made full counts as lying there.
bool liesInFolder(const char* path, const char* folder) {
    if (!folder || !folder[0])
        return false;
    char file[MAX_PATH];
    char place[MAX_PATH];
    if (!canonicalPath(path, file, sizeof file))
        return true;
    if (!canonicalPath(folder, place, sizeof place))
        return false;
    size_t length = std::strlen(place);
    while (length > 0 && place[length - 1] == '\\')
        place[--length] = '\0';
    if (std::strlen(file) <= length || file[length] != '\\')
        return false;
    file[length] = '\0';
    return lstrcmpiA(file, place) == 0;
}

}  // namespace

bool executableFolder(char* out, size_t size) {
    if (size == 0)
        return false;
    out[0] = '\0';
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    // A path cut at the buffer's end is not the executable's.
    if (length == 0 || length >= sizeof path)
        return false;
    char* slash = std::strrchr(path, '\\');
    if (!slash)
        return false;
    // "C:" alone would name the drive's current folder, not its root.
    bool driveRoot = slash == path + 2 && path[1] == ':';
    slash[driveRoot ? 1 : 0] = '\0';
    if (!copyTextBounded(out, size, path)) {
        out[0] = '\0';
        return false;
    }
    return true;
}

bool findBrowserProgram(const UntrustedFolders& untrusted, char* out, size_t size) {
    if (size == 0)
        return false;
    char configured[MAX_PATH];
    readBrowserPath(configured, sizeof configured);
    const char* name = configured[0] ? configured : kNavigatorExecutable;
    bool found = isBareName(name) ? resolveBareName(name, out, size)
                                  : isAbsolutePath(name) && copyTextBounded(out, size, name);
    if (!found || liesInFolder(out, untrusted.cacheDirectory) || liesInFolder(out, untrusted.saveFolder)) {
        out[0] = '\0';
        return false;
    }
    return true;
}
