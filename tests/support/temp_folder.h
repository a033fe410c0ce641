// A folder of its own for one test, removed with everything in it: the
// cached files, index files and saved documents the tests write.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "doctest.h"

class TempFolder {
public:
    // `purpose` goes into the folder's name, so that a folder left behind by
    // a crashed run tells which tests made it.
    explicit TempFolder(const char* purpose = "test") {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        for (unsigned n = GetTickCount() & 0xFFFF;; ++n) {
            path_ = std::string(base) + "tarn-" + purpose + "-" + std::to_string(n);
            if (CreateDirectoryA(path_.c_str(), nullptr))
                break;
        }
    }
    ~TempFolder() { removeTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

    // Writes the file whole; a test whose files could not be written has
    // nothing to check.
    void write(const std::string& name, const std::string& bytes) const {
        HANDLE h = CreateFileA(file(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        REQUIRE_MESSAGE(h != INVALID_HANDLE_VALUE, name);
        DWORD written = 0;
        if (!bytes.empty())
            WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
        REQUIRE_MESSAGE(written == bytes.size(), name);
    }
    void write(const std::string& name, const std::vector<unsigned char>& bytes) const {
        write(name, std::string(bytes.begin(), bytes.end()));
    }
    void makeFolder(const std::string& name) const { CreateDirectoryA(file(name).c_str(), nullptr); }

    static void removeTree(const std::string& path) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name == "." || name == "..")
                    continue;
                std::string child = path + "\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    removeTree(child);
                else
                    DeleteFileA(child.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path.c_str());
    }

private:
    std::string path_;
};
