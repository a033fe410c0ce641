#include "core/file_paths.h"

#include <cstring>

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

// Windows counts the superscript digits of the ANSI code page as digits of a
// port: "COM\xB9" is the first serial port. Under other code pages these
// bytes are letters, and refusing them costs nothing.
bool isPortDigit(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= '1' && u <= '9') || u == 0xB9 || u == 0xB2 || u == 0xB3;
}

// Characters no file name holds: the wildcards would widen a shell operation
// to every file of the folder, the others Windows refuses or reads as
// redirections and streams.
bool isForbiddenInName(unsigned char c) {
    return c < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr;
}

}  // namespace

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

size_t deviceNameLength(const char* name) {
    // Windows takes the part before the first dot, without trailing spaces,
    // as the device name.
    size_t length = std::strcspn(name, ".");
    while (length > 0 && name[length - 1] == ' ')
        --length;
    char base[8] = {};
    if (length < 3 || length > 7)
        return 0;
    for (size_t i = 0; i < length; ++i)
        base[i] = asciiUpper(name[i]);
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices) {
        if (std::strcmp(base, device) == 0)
            return length;
    }
    bool port = length == 4 && (std::strncmp(base, "COM", 3) == 0 || std::strncmp(base, "LPT", 3) == 0);
    return port && isPortDigit(base[3]) ? length : 0;
}

bool isPlainFileName(const char* name) {
    size_t length = std::strlen(name);
    if (length == 0)
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (isForbiddenInName(static_cast<unsigned char>(name[i])))
            return false;
    }
    // This also refuses "." and "..".
    char last = name[length - 1];
    if (last == '.' || last == ' ')
        return false;
    return deviceNameLength(name) == 0;
}

bool isAbsolutePath(const char* path) {
    if (isAsciiLetter(path[0]) && path[1] == ':')
        return isSeparator(path[2]);
    if (!isSeparator(path[0]) || !isSeparator(path[1]))
        return false;
    // "\\server\share": a server and a share, each at least one character.
    const char* server = path + 2;
    size_t serverLength = std::strcspn(server, "\\/");
    if (serverLength == 0 || !server[serverLength])
        return false;
    bool literal = std::memchr(server, '?', serverLength) != nullptr;
    if (literal || (serverLength == 1 && server[0] == '.'))
        return false;
    const char* share = server + serverLength + 1;
    return share[0] && !isSeparator(share[0]);
}
