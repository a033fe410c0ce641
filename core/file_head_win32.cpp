#include "core/file_head.h"

#include <cstdlib>

#include "core/cached_file.h"

char* readFileHead(const char* path, int32_t limit, uint32_t* length) {
    // The browser may be writing its cache while we read it.
    FileHandle file = openCachedFile(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!file)
        return nullptr;
    DWORD high = 0;
    DWORD size = GetFileSize(file.get(), &high);
    if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || size >= 0x80000000u)
        return nullptr;
    DWORD wanted = (limit >= 0 && static_cast<DWORD>(limit) < size) ? static_cast<DWORD>(limit) : size;
    char* text = static_cast<char*>(std::malloc(wanted + 1));
    if (!text)
        return nullptr;
    DWORD read = 0;
    if (wanted > 0 && (!ReadFile(file.get(), text, wanted, &read, nullptr) || read != wanted)) {
        std::free(text);
        return nullptr;
    }
    text[wanted] = '\0';
    if (length)
        *length = wanted;
    return text;
}
