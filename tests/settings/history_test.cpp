#include <string>
#include <vector>

#include "doctest.h"
#include "registry_fixture.h"
#include "settings/history.h"
#include "ui/dialogs/history_combo.h"

namespace {

// A hidden dialog-like window with the drop-down combo box the dialogs use.
class ComboFixture {
public:
    ComboFixture() {
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
        combo_ = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWN | WS_VSCROLL, 0, 0, 200, 150, parent_,
                                 nullptr, nullptr, nullptr);
        deleteProgramKey();
    }
    ~ComboFixture() {
        DestroyWindow(parent_);
        deleteProgramKey();
    }

    HWND combo() const { return combo_; }

    // What a dialog does: fill the list on opening, record the typed text on
    // confirming.
    void confirm(const char* text, const char* list = kSearchHistory) {
        fillHistory(list, combo_);
        SetWindowTextA(combo_, text);
        recordHistory(list, kHistoryMaximum, combo_);
    }

    std::vector<std::string> items() const {
        std::vector<std::string> result;
        LRESULT count = SendMessageA(combo_, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[300] = {};
            SendMessageA(combo_, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            result.push_back(text);
        }
        return result;
    }

    std::string editText() const {
        char text[300] = {};
        GetWindowTextA(combo_, text, sizeof text);
        return text;
    }

private:
    HWND parent_;
    HWND combo_;
};

std::string storedText(const char* name, const char* list = kSearchHistory) {
    HKEY key = createTestKey(list);
    char text[600] = {};
    DWORD size = sizeof text - 1;
    LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(text) : std::string("<missing>");
}

void storeValue(const char* name, DWORD type, const void* data, DWORD size, const char* list = kSearchHistory) {
    HKEY key = createTestKey(list);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void storeText(const char* name, const char* text, const char* list = kSearchHistory) {
    storeValue(name, REG_SZ, text, static_cast<DWORD>(strlen(text) + 1), list);
}

}  // namespace

TEST_CASE("recorded texts come back newest first") {
    ComboFixture fixture;
    CHECK(fillHistory(kSearchHistory, fixture.combo()) == 0);
    CHECK(fixture.items().empty());

    fixture.confirm("one");
    fixture.confirm("two");
    fixture.confirm("three");
    CHECK(storedText("MRUList") == "cba");
    CHECK(storedText("a") == "one");
    CHECK(storedText("b") == "two");
    CHECK(storedText("c") == "three");

    CHECK(fillHistory(kSearchHistory, fixture.combo()) == 3);
    CHECK(fixture.items() == std::vector<std::string>{"three", "two", "one"});
    CHECK(fixture.editText() == "three");

    SUBCASE("a text used again moves to the front") {
        fixture.confirm("two");
        CHECK(storedText("MRUList") == "bca");
        CHECK(storedText("b") == "two");
    }
    SUBCASE("the newest text again, in other case, writes nothing") {
        fixture.confirm("THREE");
        CHECK(storedText("MRUList") == "cba");
        CHECK(storedText("c") == "three");
    }
    SUBCASE("an older text in other case keeps the case it was stored with") {
        fixture.confirm("ONE");
        CHECK(storedText("MRUList") == "acb");
        CHECK(storedText("a") == "one");
    }
    SUBCASE("the two histories are kept apart") {
        CHECK(fillHistory(kFindHistory, fixture.combo()) == 0);
    }
}

TEST_CASE("a full history gives the oldest letter to a new text") {
    ComboFixture fixture;
    const char* texts[] = {"t0", "t1", "t2", "t3", "t4", "t5", "t6", "t7", "t8", "t9"};
    for (const char* text : texts)
        fixture.confirm(text, kFindHistory);
    CHECK(storedText("MRUList", kFindHistory) == "jihgfedcba");

    fixture.confirm("neu", kFindHistory);
    CHECK(storedText("MRUList", kFindHistory) == "ajihgfedcb");
    CHECK(storedText("a", kFindHistory) == "neu");
    CHECK(fillHistory(kFindHistory, fixture.combo()) == 10);
    CHECK(fixture.items().size() == 10);
    CHECK(fixture.items().front() == "neu");
    CHECK(fixture.items().back() == "t1");
}

TEST_CASE("entries that cannot be shown keep their letters") {
    ComboFixture fixture;
    storeText("MRUList", "abcd");
    storeText("a", "");
    storeText("c", "drei");
    storeText("d", "vier");
    const DWORD binary = 0x41414141;
    storeValue("b", REG_BINARY, &binary, sizeof binary);

    CHECK(fillHistory(kSearchHistory, fixture.combo()) == 4);
    CHECK(fixture.items() == std::vector<std::string>{"drei", "vier"});

    SUBCASE("the entry chosen is the one that moves, not the one at its list index") {
        fixture.confirm("vier");
        CHECK(storedText("MRUList") == "dabc");
        CHECK(storedText("d") == "vier");
    }
    SUBCASE("the first shown entry stays where it is") {
        fixture.confirm("drei");
        CHECK(storedText("MRUList") == "abcd");
    }
}

TEST_CASE("stored texts without their end are cut inside the buffer") {
    ComboFixture fixture;
    // The registry adds a NUL when the byte after the data happens to be one,
    // so the data must go on in memory to be stored without it.
    std::string full(300, 'x');
    storeValue("a", REG_SZ, full.data(), 260);
    std::string tooLong(400, 'y');
    storeValue("b", REG_SZ, tooLong.c_str(), 401);
    storeValue("MRUList", REG_SZ, "ab", 2);

    CHECK(fillHistory(kSearchHistory, fixture.combo()) == 2);
    REQUIRE(fixture.items().size() == 1);
    CHECK(fixture.items()[0] == std::string(259, 'x'));

    SUBCASE("an order longer than 26 letters is unreadable") {
        storeText("MRUList", "abcdefghijklmnopqrstuvwxyza");
        CHECK(fillHistory(kSearchHistory, fixture.combo()) == 0);
        fixture.confirm("neu");
        CHECK(storedText("MRUList") == "a");
    }
}
