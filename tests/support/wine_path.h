// Linux paths of the source and build trees as Wine sees them.
#pragma once

#include <string>

// Drive Z: is the Linux root in every Wine prefix.
inline std::string winePath(const std::string& linuxPath) {
    std::string path = "Z:" + linuxPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}
