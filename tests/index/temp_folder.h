// A folder of its own for one test, removed with everything in it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder() {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        for (unsigned n = GetTickCount() & 0xFFFF;; ++n) {
            path_ = std::string(base) + "tarn-index-" + std::to_string(n);
            if (CreateDirectoryA(path_.c_str(), nullptr))
                break;
        }
    }
    ~TempFolder() { removeTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

    void write(const std::string& name, const std::vector<unsigned char>& bytes) const {
        HANDLE h = CreateFileA(file(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        DWORD written = 0;
        if (!bytes.empty())
            WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
    }
    void write(const std::string& name, const std::string& text) const {
        write(name, std::vector<unsigned char>(text.begin(), text.end()));
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

// Linux paths of the build tree as Wine sees them (drive Z: is the root).
inline std::string winePath(const std::string& linuxPath) {
    std::string path = "Z:" + linuxPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}
