#include "save_folder.h"

#include <vector>

#include "support/wine_path.h"

namespace {

std::map<std::string, std::string> filesOf(const std::string& path) {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files[found.cFileName] = readWholeFile(path + "\\" + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

std::string sourcePath(const std::string& relative) {
    return winePath(std::string(TARN_SOURCE_DIR) + "/tests/extract/" + relative);
}

}  // namespace

std::string readWholeFile(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE_MESSAGE(h != INVALID_HANDLE_VALUE, path);
    std::string content;
    char block[4096];
    DWORD read = 0;
    while (ReadFile(h, block, sizeof block, &read, nullptr) && read > 0)
        content.append(block, read);
    CloseHandle(h);
    return content;
}

std::map<std::string, std::string> filesIn(const TempFolder& folder) {
    return filesOf(folder.path());
}

std::map<std::string, std::string> filesIn(const std::string& folder) {
    return filesOf(folder);
}

std::map<std::string, std::string> sourceFiles(const std::string& folder) {
    std::map<std::string, std::string> files = filesOf(sourcePath(folder));
    REQUIRE_MESSAGE(!files.empty(), folder);
    return files;
}

void checkSameFiles(const std::map<std::string, std::string>& written,
                    const std::map<std::string, std::string>& expected) {
    std::vector<std::string> writtenNames;
    std::vector<std::string> expectedNames;
    for (const auto& file : written)
        writtenNames.push_back(file.first);
    for (const auto& file : expected)
        expectedNames.push_back(file.first);
    CHECK(writtenNames == expectedNames);
    for (const auto& file : expected) {
        auto found = written.find(file.first);
        if (found != written.end())
            CHECK_MESSAGE(found->second == file.second, file.first);
    }
}
