// Real folders for the tests of saving: a cache folder holding cached files,
// a target folder made the current directory, and the comparison of what was
// written with expected files.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "doctest.h"

// A folder of its own, removed with everything in it.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* purpose) {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        for (unsigned n = GetTickCount() & 0xFFFF;; ++n) {
            path_ = std::string(base) + "tarn-" + purpose + "-" + std::to_string(n);
            if (CreateDirectoryA(path_.c_str(), nullptr))
                break;
        }
    }
    ~ScratchFolder() { removeTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

    void write(const std::string& name, const std::string& bytes) const {
        HANDLE h = CreateFileA(file(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        REQUIRE(h != INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
        REQUIRE(written == bytes.size());
    }

    // Every file of the folder (not its folders) with its content.
    std::map<std::string, std::string> files() const;

    static void removeTree(const std::string& path);

private:
    std::string path_;
};

// Makes a folder the current directory for the life of the object, as the
// save dialog does for the run.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& path) {
        GetCurrentDirectoryA(sizeof previous_, previous_);
        REQUIRE(SetCurrentDirectoryA(path.c_str()));
    }
    ~CurrentDirectory() { SetCurrentDirectoryA(previous_); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    char previous_[MAX_PATH];
};

std::string readWholeFile(const std::string& path);

// The files of tests/extract/<folder> in the source tree.
std::map<std::string, std::string> sourceFiles(const std::string& folder);

// Compares two sets of files name by name and byte by byte.
void checkSameFiles(const std::map<std::string, std::string>& written,
                    const std::map<std::string, std::string>& expected);
