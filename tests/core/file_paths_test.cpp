// The names and folders a cache hands us are taken only when Windows would
// find exactly the file or folder they seem to name.
#include <initializer_list>

#include "core/file_paths.h"
#include "doctest.h"

TEST_CASE("a local file name is plain only when it names one ordinary file of its folder") {
    for (const char* name : {"M0A1B2C3.htm", "a", "a.b.c", "con-.htm", "console.htm", "com0.htm", "lpt10",
                             "conout$x.htm", "com\xB4.htm", "name with blanks.txt", ".profile", "#%&'+,;=@[]^`{}~",
                             "\xE4\xF6\xFC.htm"}) {
        INFO(name);
        CHECK(isPlainFileName(name));
    }
    SUBCASE("separators, drives, streams and wildcards") {
        for (const char* name : {"..\\boot.ini", "sub/x.htm", "C:x.htm", "a.htm:stream", "*", "*.*", "?.htm",
                                 "a*", "M0A?.htm"})
            CHECK_MESSAGE(!isPlainFileName(name), name);
    }
    SUBCASE("characters no file name holds") {
        for (const char* name : {"\"", "a<b", "a>b", "a|b", "a\tb", "\x01", "line\nbreak"})
            CHECK_MESSAGE(!isPlainFileName(name), name);
    }
    SUBCASE("names Windows shortens to another file or to the folder itself") {
        for (const char* name : {"", ".", "..", "...", " ", "  ", ".. ", "a.", "a ", "page . .", "con."})
            CHECK_MESSAGE(!isPlainFileName(name), name);
    }
    SUBCASE("devices, in any case and with any extension") {
        for (const char* name : {"con", "PRN", "Aux", "nul", "com1", "COM9", "lpt1", "LPT9", "com1.htm", "nul .txt",
                                 "aux.tar.gz", "conin$", "CONOUT$.htm", "COM\xB9", "lpt\xB2.txt"})
            CHECK_MESSAGE(!isPlainFileName(name), name);
    }
}

TEST_CASE("only a drive's root or a server's share makes an absolute path") {
    for (const char* path : {"C:\\", "c:\\cache", "D:/cache", "\\\\server\\share", "\\\\server\\share\\cache",
                             "//server/share"}) {
        INFO(path);
        CHECK(isAbsolutePath(path));
    }
    // Each of these resolves against the current folder or drive, or reaches
    // past the file system's names.
    for (const char* path : {"", "cache", ".\\cache", "..\\cache", "C:", "C:cache", "\\cache", "/cache", "\\\\",
                             "\\\\server", "\\\\server\\", "\\\\\\share", "\\\\.\\COM1", "\\\\?\\C:\\cache",
                             "1:\\cache"}) {
        INFO(path);
        CHECK_FALSE(isAbsolutePath(path));
    }
}
