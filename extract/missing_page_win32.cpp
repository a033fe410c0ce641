#include "extract/missing_page.h"

#include <windows.h>

#include <cstring>

#include "resources/resource_ids.h"

MissingPageText loadMissingPage() {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(RCDATA_MISSING_PAGE), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* text = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!text)
        return {nullptr, 0};
    // The block ends in a zero that is not part of the page.
    DWORD size = SizeofResource(module, found);
    const void* zero = std::memchr(text, '\0', size);
    size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : size;
    return {text, length};
}
