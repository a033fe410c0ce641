// Which file is started as the browser. A cache, and a save of its
// documents, can put a file named netscape.exe wherever the program looks
// by chance: only the places the system registers programs count.
#include "browser/browser_program.h"

#include <windows.h>

#include <string>

#include "doctest.h"
#include "settings/registry_fixture.h"
#include "support/temp_folder.h"

namespace {

const char kUserAppPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\netscape.exe";

void setRegisteredNavigator(const std::string& path) {
    deleteKeyTree(HKEY_CURRENT_USER, kUserAppPath);
    if (path.empty())
        return;
    HKEY key;
    REQUIRE(RegCreateKeyExA(HKEY_CURRENT_USER, kUserAppPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) == ERROR_SUCCESS);
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
}

void setBrowserValue(const std::string& value) {
    HKEY key = createTestKey();
    RegSetValueExA(key, kBrowserPathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

std::string found(const UntrustedFolders& untrusted = {}) {
    char path[MAX_PATH] = "unchanged";
    if (!findBrowserProgram(untrusted, path, sizeof path))
        return path[0] ? "<false, not emptied>" : "<none>";
    return path;
}

// The current folder for the life of the object.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& path) {
        GetCurrentDirectoryA(sizeof previous_, previous_);
        SetCurrentDirectoryA(path.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryA(previous_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    char previous_[MAX_PATH] = "";
};

}  // namespace

TEST_CASE("netscape.exe is found only where the system registers programs, and never in a cache or save folder") {
    deleteProgramKey();
    TempFolder folder("browser-program");
    folder.makeFolder("cache");
    folder.makeFolder("Installed");
    folder.write("cache\\netscape.exe", "MZ");
    folder.write("Installed\\netscape.exe", "MZ");
    std::string cacheCopy = folder.file("cache\\netscape.exe");
    std::string installed = folder.file("Installed\\netscape.exe");

    SUBCASE("not in the current folder, nor through a relative PATH entry") {
        setRegisteredNavigator("");
        char path[4096] = "";
        GetEnvironmentVariableA("PATH", path, sizeof path);
        std::string previousPath = path;
        SetEnvironmentVariableA("PATH", (std::string(".;;cache;") + previousPath).c_str());
        {
            CurrentFolder current(folder.path());
            CHECK(found() == "<none>");
            CurrentFolder inside(folder.file("cache"));
            CHECK(found() == "<none>");
        }
        SetEnvironmentVariableA("PATH", (folder.file("Installed") + ";" + previousPath).c_str());
        CHECK(found() == installed);
        SetEnvironmentVariableA("PATH", previousPath.c_str());
    }
    SUBCASE("the registered application path, in quotes or not") {
        setRegisteredNavigator(installed);
        CHECK(found() == installed);
        setRegisteredNavigator("\"" + installed + "\"");
        CHECK(found() == installed);
        setRegisteredNavigator("netscape.exe");
        CHECK(found() == "<none>");
    }
    SUBCASE("a program inside the cache or the last save's folder, under any spelling, is refused") {
        setRegisteredNavigator(cacheCopy);
        UntrustedFolders untrusted;
        std::string cache = folder.file("cache");
        untrusted.cacheDirectory = cache.c_str();
        CHECK(found(untrusted) == "<none>");
        std::string upper = folder.file("CACHE\\");
        untrusted.cacheDirectory = upper.c_str();
        CHECK(found(untrusted) == "<none>");
        untrusted.cacheDirectory = nullptr;
        untrusted.saveFolder = folder.path().c_str();
        CHECK(found(untrusted) == "<none>");
        // A folder whose name only begins like the save folder's is another.
        setRegisteredNavigator(installed);
        std::string prefix = folder.file("Inst");
        untrusted.saveFolder = prefix.c_str();
        CHECK(found(untrusted) == installed);
    }
    SUBCASE("the Browser value: a full path as it is, a relative one never") {
        setRegisteredNavigator("");
        setBrowserValue(installed);
        CHECK(found() == installed);
        CurrentFolder current(folder.path());
        setBrowserValue("Installed\\netscape.exe");
        CHECK(found() == "<none>");
    }
    setRegisteredNavigator("");
    deleteProgramKey();
}
