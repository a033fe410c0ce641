#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/file_head.h"
#include "doctest.h"
#include "support/temp_folder.h"

TEST_CASE("readFileHead gives at most the asked bytes, always terminated") {
    TempFolder folder("head");
    folder.write("text.htm", std::string("abc\0def", 7));
    folder.write("empty.htm", "");
    uint32_t length = 99;

    char* head = readFileHead(folder.file("text.htm").c_str(), 5, &length);
    REQUIRE(head);
    CHECK(length == 5);
    CHECK(std::memcmp(head, "abc\0d\0", 6) == 0);
    std::free(head);

    head = readFileHead(folder.file("text.htm").c_str(), -1, &length);
    REQUIRE(head);
    CHECK(length == 7);
    CHECK(head[7] == '\0');
    std::free(head);

    head = readFileHead(folder.file("text.htm").c_str(), 1023, &length);
    REQUIRE(head);
    CHECK(length == 7);
    std::free(head);

    head = readFileHead(folder.file("empty.htm").c_str(), 1023, &length);
    REQUIRE(head);
    CHECK(length == 0);
    CHECK(head[0] == '\0');
    std::free(head);
}

TEST_CASE("readFileHead refuses files it cannot read whole") {
    TempFolder folder("head");
    uint32_t length = 99;
    CHECK(readFileHead(folder.file("missing.htm").c_str(), 1023, &length) == nullptr);
    CHECK(length == 99);
    CHECK(readFileHead(folder.path().c_str(), 1023) == nullptr);
    // A cached file named like a device opens the device: a port whose read
    // never returns, or the null device that reads as an empty file.
    CHECK(readFileHead(folder.file("nul").c_str(), 1023) == nullptr);
    CHECK(readFileHead(folder.file("NUL.htm").c_str(), 1023) == nullptr);

    // A sparse file of 2 GB: its size no longer fits the program's lengths.
    HANDLE huge = CreateFileA(folder.file("huge.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(huge != INVALID_HANDLE_VALUE);
    LONG high = 0;
    SetFilePointer(huge, static_cast<LONG>(0x80000000u), &high, FILE_BEGIN);
    bool made = SetEndOfFile(huge) != 0;
    CloseHandle(huge);
    REQUIRE(made);
    CHECK(readFileHead(folder.file("huge.bin").c_str(), 1023) == nullptr);
    CHECK(readFileHead(folder.file("huge.bin").c_str(), -1) == nullptr);
}
