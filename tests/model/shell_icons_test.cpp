// The known types' icons come from the shell by way of one temporary file,
// which must not outlive the model's construction; the icons of other
// types come from the shell by the cached file's name alone.
#include <windows.h>

#include <cstring>
#include <string>

#include "doctest.h"
#include "model/loading.h"
#include "model/shell_icons.h"
#include "model_builder.h"
#include "support/registry_keys.h"
#include "support/temp_folder.h"

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

namespace {

// A file type of the test's own, so that the prefix's few associations do
// not matter: its icon either sits in every file of the type ("%1") or is
// one fixed picture.
class RegisteredType {
public:
    RegisteredType(const char* extension, const char* defaultIcon) : extension_(extension) {
        std::string kind = std::string("tarntest") + (extension + 1);
        setDefault(("Software\\Classes\\" + extension_).c_str(), kind.c_str());
        setDefault(("Software\\Classes\\" + kind + "\\DefaultIcon").c_str(), defaultIcon);
        kind_ = kind;
    }
    ~RegisteredType() {
        deleteKeyTree(HKEY_LOCAL_MACHINE, ("Software\\Classes\\" + extension_).c_str());
        deleteKeyTree(HKEY_LOCAL_MACHINE, ("Software\\Classes\\" + kind_).c_str());
    }

private:
    static void setDefault(const char* path, const char* value) {
        HKEY key;
        REQUIRE(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
                ERROR_SUCCESS);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(std::strlen(value) + 1));
        RegCloseKey(key);
    }

    std::string extension_;
    std::string kind_;
};

std::string fileBytes(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

}  // namespace

TEST_CASE("a document of an unknown type gets its extension's icon, and the shell never reads the file") {
    TempFolder cache("icons");
    TestModel t;
    t.model.cacheDirectory.assign(cache.path().c_str());
    int files = 0;
    auto loadIcon = [&](const std::string& localFile) {
        Doc doc;
        doc.url = "http://h.example/d" + std::to_string(++files);
        doc.mimeType = "application/x-unbekannt";
        doc.localFile = localFile;
        REQUIRE(t.file(doc));
        CacheEntry* entry = t.entry(doc.url.c_str());
        REQUIRE(entry);
        loadEntryDetails(t.model, *entry);
        return entry->iconIndex();
    };
    // A real picture in an icon file, as the browser may well have cached.
    const std::string picture = fileBytes(std::string(TARN_BINARY_DIR) + "/resources/art/program.ico");

    SUBCASE("an ordinary type keeps the icon the shell shows for its files") {
        RegisteredType plain(".tarnplain", "shell32.dll,3");
        cache.write("M0A10001.tarnplain", picture);
        int32_t shown = smallIconIndexOf(cache.file("M0A10001.tarnplain").c_str());
        CHECK(shown != 0);
        CHECK(loadIcon("M0A10001.tarnplain") == shown);
    }
    SUBCASE("a type whose icon sits in each file gets the type's icon, not the file's") {
        RegisteredType own(".tarnicon", "%1");
        cache.write("M0A10002.tarnicon", picture);
        // Asked with the file, the shell would take the file's own picture.
        int32_t fromFile = smallIconIndexOf(cache.file("M0A10002.tarnicon").c_str());
        int32_t icon = loadIcon("M0A10002.tarnicon");
        CHECK(icon != fromFile);
        CHECK(icon == smallIconIndexOfName("anderer.tarnicon"));
        // The same with a file of that name where the program was started.
        char current[MAX_PATH];
        GetCurrentDirectoryA(sizeof current, current);
        SetCurrentDirectoryA(cache.path().c_str());
        CHECK(loadIcon("M0A10002.tarnicon") == icon);
        SetCurrentDirectoryA(current);
    }
}
