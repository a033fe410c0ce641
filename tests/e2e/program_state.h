// What the program keeps in the test's Wine prefix between runs: the
// browser's cache directory it is pointed to, its own registry key and its
// hidden-list file. Every test sets these up before it starts the program.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// A fixture cache built for the end-to-end tests, as Wine sees it.
std::string fixtureCache(const std::string& name);

// Points the browser's "Cache Dir" to `directory`; "" removes the value.
void setBrowserCacheDirectory(const std::string& directory);

// Removes the program's key with its settings record and histories, and its
// hidden-list file: the state of a first start.
void forgetProgramState();

// The settings record "Configuration" as the program wrote it.
struct StoredSettings {
    bool present = false;
    uint32_t optionFlags = 0;
    int32_t windowLeft = 0;
    int32_t windowTop = 0;
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;
    int32_t splitterPos = 0;
    int32_t columnWidths[6] = {};
    int32_t documentSortKey = 0;
};
StoredSettings readStoredSettings();

// "TARN.INI" in the Windows directory.
void writeHiddenListEntry(const char* section, const char* key, const char* value);
// The value, or "<none>" when the key is not there.
std::string readHiddenListEntry(const char* section, const char* key);

// The state of a first start on the cache in `directory` ("" for none).
void prepareFirstStart(const std::string& directory);

// A settings record with the stored defaults but `optionFlags`, as a
// previous run would have left it.
void writeStoredOptionFlags(uint32_t optionFlags);

// The program's "Browser" value; "" removes it.
void setBrowserProgram(const std::string& path);

// The browser's verify option "Check Server" (REG_DWORD); -1 when missing.
void setCheckServer(int32_t value);
int32_t readCheckServer();

// The system's "EnableAutodial": its type and value, type REG_NONE for a
// missing value.
struct AutodialValue {
    DWORD type = REG_NONE;
    uint32_t value = 0;
};
void setAutodial(const AutodialValue& autodial);
AutodialValue readAutodial();

// A copy of a fixture cache that a test may change (the program deletes
// cached files), in the build tree so that its Linux path is known. Removed
// with the object.
class CacheCopy {
public:
    explicit CacheCopy(const std::string& fixture);
    ~CacheCopy();
    CacheCopy(const CacheCopy&) = delete;
    CacheCopy& operator=(const CacheCopy&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }
    std::string linuxFile(const std::string& name) const { return linuxPath_ + "/" + name; }

private:
    std::string linuxPath_;
    std::string path_;
};

// The whole content of a file, or "<missing>".
std::string fileBytes(const std::string& path);

// Whether the shell's recycle bin (Wine's: the desktop's trash folder) holds
// the file that was at `linuxPath`.
bool inRecycleBin(const std::string& linuxPath);
