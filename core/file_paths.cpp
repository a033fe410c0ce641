#include "core/file_paths.h"

#include <cstring>

bool joinPath(char* out, size_t size, const char* directory, const char* name) {
    if (size == 0)
        return false;
    size_t length = std::strlen(directory);
    bool separator = length > 0 && directory[length - 1] != '\\';
    size_t total = length + (separator ? 1 : 0) + std::strlen(name);
    // Without a directory the name would be taken from whatever folder is
    // current, or from the root of the drive.
    if (length == 0 || total >= size) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, directory, length);
    if (separator)
        out[length++] = '\\';
    std::strcpy(out + length, name);
    return true;
}

bool isPlainFileName(const char* name) {
    if (!name[0] || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    return std::strpbrk(name, "\\/:") == nullptr;
}
