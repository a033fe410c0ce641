// Real folders for the tests of saving: a cache folder holding cached files,
// a target folder made the current directory, and the comparison of what was
// written with expected files.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "doctest.h"
#include "support/temp_folder.h"

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

// Every file of the folder (not its folders) with its content.
std::map<std::string, std::string> filesIn(const TempFolder& folder);
std::map<std::string, std::string> filesIn(const std::string& folder);

// The files of tests/extract/<folder> in the source tree.
std::map<std::string, std::string> sourceFiles(const std::string& folder);

// Compares two sets of files name by name and byte by byte.
void checkSameFiles(const std::map<std::string, std::string>& written,
                    const std::map<std::string, std::string>& expected);
