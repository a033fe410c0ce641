// The known types' icons come from the shell by way of one temporary file,
// which must not outlive the model's construction.
#include <windows.h>

#include <string>

#include "doctest.h"
#include "model/shell_icons.h"

namespace {

int temporaryFilesOfOurs() {
    char directory[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(directory) + "trn*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

}  // namespace

TEST_CASE("the model takes the known types' icons from the shell and leaves no temporary file") {
    int before = temporaryFilesOfOurs();
    ShellTypeIcons icons;
    CacheModel model(&icons);
    CHECK(model.status() == 0);
    CHECK(temporaryFilesOfOurs() == before);
    // Each known type was asked for under its own extension.
    char directory[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    std::string page = std::string(directory) + "tarn-icon-probe.htm";
    HANDLE file = CreateFileA(page.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
    CHECK(model.knownTypeIcons[0] == smallIconIndexOf(page.c_str()));
    DeleteFileA(page.c_str());
    CHECK(smallIconIndexOf("Z:\\no\\such\\file.xyz") == 0);
}
