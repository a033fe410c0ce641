#include "settings/program_key.h"

#include "core/registry_text.h"

const char kProgramKeyPath[] = "Software\\Quill\\TARN";

namespace {

RegKey openBelow(HKEY parent, const char* name, ProgramKeyAccess access) {
    RegKey key;
    if (access == PROGRAM_KEY_CREATE) {
        const REGSAM rights = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
        if (RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, rights, nullptr, key.receive(),
                            nullptr) != ERROR_SUCCESS)
            key.release();  // a failed call promises nothing about the handle
        return key;
    }
    const REGSAM rights = access == PROGRAM_KEY_READ ? KEY_QUERY_VALUE : KEY_QUERY_VALUE | KEY_SET_VALUE;
    if (RegOpenKeyExA(parent, name, 0, rights, key.receive()) != ERROR_SUCCESS)
        key.release();
    return key;
}

}  // namespace

RegKey openProgramKey(ProgramKeyAccess access, const char* subkey) {
    RegKey program = openBelow(HKEY_CURRENT_USER, kProgramKeyPath, access);
    if (!program || !subkey)
        return program;
    return openBelow(program.get(), subkey, access);
}

void readBrowserPath(char* out, size_t size) {
    if (size == 0)
        return;
    out[0] = '\0';
    if (RegKey key = openProgramKey(PROGRAM_KEY_READ))
        readRegistryText(key.get(), kBrowserPathValue, out, size);
}

bool writeBrowserPath(const char* path) {
    RegKey key = openProgramKey(PROGRAM_KEY_CREATE);
    if (!key)
        return false;
    if (path[0])
        return writeRegistryText(key.get(), kBrowserPathValue, path);
    const LONG result = RegDeleteValueA(key.get(), kBrowserPathValue);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
