#include "ui/process_state.h"

#include <windows.h>

#include <string>

#include "doctest.h"

TEST_CASE("the help file is the one beside the program, else the bare name for the help engine to find") {
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    REQUIRE(length > 0);
    REQUIRE(length < sizeof program);
    std::string path(program, length);
    std::string beside = path.substr(0, path.rfind('\\') + 1) + "tarn.hlp";
    DeleteFileA(beside.c_str());
    RemoveDirectoryA(beside.c_str());

    fixHelpFilePath();
    CHECK(std::string(helpFilePath()) == "tarn.hlp");

    REQUIRE(CreateDirectoryA(beside.c_str(), nullptr));
    fixHelpFilePath();
    CHECK(std::string(helpFilePath()) == "tarn.hlp");
    RemoveDirectoryA(beside.c_str());

    HANDLE file = CreateFileA(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
    fixHelpFilePath();
    CHECK(std::string(helpFilePath()) == beside);
    DeleteFileA(beside.c_str());
    fixHelpFilePath();
}
