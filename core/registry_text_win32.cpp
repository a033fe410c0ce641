#include "core/registry_text.h"

#include <cstring>

bool readRegistryText(HKEY key, const char* name, char* out, size_t size) {
    if (size == 0)
        return false;
    out[0] = '\0';
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(size);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ || bytes > size) {
        out[0] = '\0';
        return false;
    }
    if (!std::memchr(out, '\0', bytes)) {
        if (bytes == size) {
            out[0] = '\0';
            return false;
        }
        out[bytes] = '\0';
    }
    return true;
}

bool writeRegistryText(HKEY key, const char* name, const char* text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
}
