// Checks of the resources linked into the executable, read back through the
// same Win32 calls the program uses. Expected texts are written as code page
// 1252 bytes, which is what LoadStringA and the ANSI menu calls hand back.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "doctest.h"

#include "resources/command_ids.h"
#include "resources/dialog_ids.h"
#include "resources/resource_ids.h"
#include "resources/string_ids.h"

namespace {

HINSTANCE module() { return GetModuleHandleA(nullptr); }

std::string loadString(UINT id)
{
    char buffer[1024];
    int length = LoadStringA(module(), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? length : 0);
}

struct Raw {
    const unsigned char* data = nullptr;
    DWORD size = 0;
};

Raw findRaw(LPCSTR name, LPCSTR type)
{
    Raw raw;
    HRSRC found = FindResourceA(module(), name, type);
    if (!found)
        return raw;
    HGLOBAL loaded = LoadResource(module(), found);
    raw.data = static_cast<const unsigned char*>(LockResource(loaded));
    raw.size = SizeofResource(module(), found);
    return raw;
}

uint16_t le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t le32(const unsigned char* p) { return uint32_t(le16(p)) | uint32_t(le16(p + 2)) << 16; }

void initControls()
{
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES | ICC_ANIMATE_CLASS | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&init);
}

INT_PTR CALLBACK ignoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Owns a dialog created from a template; child templates get a hidden parent.
struct TestDialog {
    HWND parent = nullptr;
    HWND dialog = nullptr;

    explicit TestDialog(int id, bool child = false)
    {
        initControls();
        if (child)
            parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, module(), nullptr);
        dialog = CreateDialogParamA(module(), MAKEINTRESOURCEA(id), parent, ignoreMessages, 0);
    }
    ~TestDialog()
    {
        if (dialog)
            DestroyWindow(dialog);
        if (parent)
            DestroyWindow(parent);
    }
    TestDialog(const TestDialog&) = delete;
    TestDialog& operator=(const TestDialog&) = delete;

    std::string text(int control) const
    {
        char buffer[256] = "";
        GetDlgItemTextA(dialog, control, buffer, sizeof buffer);
        return buffer;
    }
};

// A menu as a flat list: command ids, 0 for separators, and for a popup -1
// followed by its items and then -2.
void flattenMenu(HMENU menu, std::vector<int>& out)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            out.push_back(-1);
            flattenMenu(sub, out);
            out.push_back(-2);
        } else {
            out.push_back(int(GetMenuItemID(menu, i)));
        }
    }
}

std::string menuText(HMENU menu, int position)
{
    char buffer[128] = "";
    GetMenuStringA(menu, position, buffer, sizeof buffer, MF_BYPOSITION);
    return buffer;
}

void collectCommandTexts(HMENU menu, std::vector<std::pair<int, std::string>>& out)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i))
            collectCommandTexts(sub, out);
        else if (GetMenuItemID(menu, i) != 0)
            out.emplace_back(int(GetMenuItemID(menu, i)), menuText(menu, i));
    }
}

struct MenuHelpRecord {
    uint32_t key;
    uint16_t stringId;
};

std::vector<MenuHelpRecord> menuHelpTable()
{
    std::vector<MenuHelpRecord> records;
    Raw raw = findRaw(MAKEINTRESOURCEA(RCDATA_MENU_HELP), MAKEINTRESOURCEA(10));
    for (DWORD at = 0; at + MENU_HELP_RECORD_SIZE <= raw.size; at += MENU_HELP_RECORD_SIZE) {
        MenuHelpRecord record = {le32(raw.data + at), le16(raw.data + at + 4)};
        if (record.stringId == 0)
            break;
        records.push_back(record);
    }
    return records;
}

struct ToolbarRecord {
    uint16_t image, command, style, tooltip;
};

std::vector<ToolbarRecord> toolbarTable()
{
    std::vector<ToolbarRecord> records;
    Raw raw = findRaw(MAKEINTRESOURCEA(RCDATA_TOOLBAR), MAKEINTRESOURCEA(10));
    for (DWORD at = 0; at + TOOLBAR_RECORD_SIZE <= raw.size; at += TOOLBAR_RECORD_SIZE) {
        const unsigned char* p = raw.data + at;
        if (le16(p) == TOOLBAR_TABLE_END)
            break;
        records.push_back({le16(p), le16(p + 2), le16(p + 4), le16(p + 6)});
    }
    return records;
}

bool hasHelp(const std::vector<MenuHelpRecord>& table, UINT command)
{
    for (const MenuHelpRecord& r : table)
        if (r.key == (MENU_HELP_COMMAND_BASE | command))
            return !loadString(r.stringId).empty();
    return false;
}

std::string withoutMnemonicAndKeys(std::string text)
{
    text = text.substr(0, text.find('\t'));
    if (text.size() > 3 && text.compare(text.size() - 3, 3, "...") == 0)
        text.resize(text.size() - 3);
    std::string plain;
    for (char c : text)
        if (c != '&')
            plain += c;
    return plain;
}

} // namespace

TEST_CASE("strings come back in code page 1252 with their line breaks and tabs")
{
    CHECK(loadString(STR_APP_NAME) == "Tarnview");
    CHECK(loadString(STR_COLUMN_SIZE) == "Gr\xF6\xDF" "e");
    CHECK(loadString(STR_HELP_DESCRIPTION_BARS) ==
          "Blendet die Beschreibungsleiste der beiden Fensterh\xE4lften aus oder ein.");
    CHECK(loadString(STR_MSG_NO_CACHE_DIRECTORY) ==
          "Es wurde kein g\xFCltiges Cache-Verzeichnis gefunden!\n\n"
          "Sie k\xF6nnen ein Verzeichnis mit dem Befehl Extras/Einstellungen festlegen.");
    CHECK(loadString(STR_MSG_OFFER_VERIFY_NEVER) ==
          "F\xFCr die korrekte Offline-Anzeige der Dokumente mu\xDF in Netscape unter\n\n"
          "\t'Options/Network Preferences/Cache'\n\n"
          "die Option 'Verify Documents' auf 'Never' gesetzt werden.\n\n"
          "Soll diese \xC4nderung jetzt automatisch durchgef\xFChrt werden?");
    CHECK(loadString(STR_ALL_FOLDERS) == " Alle Ordner");
}

TEST_CASE("every named string exists and fits the 256-byte message buffer")
{
    const UINT ids[] = {
        STR_APP_NAME, STR_CACHE_ROOT, STR_RESULTS_ROOT, STR_ALL_FOLDERS, STR_CONTENT_OF, STR_OBJECT_COUNT,
        STR_SELECTED_COUNT, STR_UNKNOWN, STR_SIZE_KB, STR_SIZE_BYTES, STR_SIZE_KB_AND_BYTES, STR_SIZE_MB_AND_BYTES,
        STR_COLUMN_TITLE, STR_COLUMN_TYPE, STR_COLUMN_URL, STR_COLUMN_FILE, STR_COLUMN_SIZE, STR_COLUMN_LAST_ACCESS,
        STR_MULTIPLE_FILES, STR_FILTER_ALL_FILES, STR_FILTER_HTML, STR_FILTER_TEXT, STR_FILTER_OF_TYPE,
        STR_FILTER_PROGRAMS, STR_FILTER_CACHE_DATABASE, STR_OUT_OF_MEMORY_CAPTION, STR_OUT_OF_MEMORY_TEXT,
        STR_MSG_NO_CACHE_DIRECTORY, STR_MSG_BAD_CACHE_DIRECTORY, STR_MSG_BAD_PROGRAM_FILE,
        STR_MSG_BROWSER_NOT_STARTED, STR_MSG_NO_DDE_CONNECTION, STR_MSG_SET_VERIFY_BY_HAND,
        STR_MSG_OFFER_VERIFY_NEVER, STR_MSG_FIND_FINISHED, STR_MSG_NOTHING_FOUND, STR_MSG_COPY_FAILED,
    };
    for (UINT id : ids) {
        CAPTURE(id);
        std::string text = loadString(id);
        CHECK(!text.empty());
        CHECK(text.size() < 256);
    }
    for (UINT id = STR_HELP_SYSTEM_MENU; id <= STR_HELP_TOGGLE_HIDDEN; ++id) {
        CAPTURE(id);
        CHECK(!loadString(id).empty());
    }
    for (UINT id = STR_TIP_OPEN; id <= STR_TIP_CONTENT_SEARCH; ++id) {
        CAPTURE(id);
        CHECK(!loadString(id).empty());
    }
}

TEST_CASE("format strings take the arguments their callers pass")
{
    char out[512];
    wsprintfA(out, loadString(STR_FILTER_OF_TYPE).c_str(), "GIF", "gif", "gif");
    CHECK(std::string(out) == "GIF-Dateien (*.gif)#*.gif#");
    wsprintfA(out, loadString(STR_SIZE_KB_AND_BYTES).c_str(), "1,50", "1.536");
    CHECK(std::string(out) == "1,50 KB (1.536 Bytes)");
    wsprintfA(out, loadString(STR_SELECTED_COUNT).c_str(), 3);
    CHECK(std::string(out) == "3 Objekt(e) markiert");

    // The description bar formats into 140 bytes; the name is cut at 120.
    std::string longName(300, 'h');
    wsprintfA(out, loadString(STR_CONTENT_OF).c_str(), longName.c_str());
    CHECK(std::strlen(out) < 140);
    CHECK(std::string(out).find(" Inhalt von 'hhh") == 0);
}

TEST_CASE("menu-help table: one record per popup in walk order, then every command")
{
    std::vector<MenuHelpRecord> table = menuHelpTable();

    // The main frame walks the menu bar depth-first and hands each popup the
    // next record of key 0; the first record is the system menu's.
    HMENU menu = LoadMenuA(module(), MAKEINTRESOURCEA(MENU_MAIN));
    REQUIRE(menu);
    std::vector<uint16_t> expected = {STR_HELP_SYSTEM_MENU};
    struct Walk {
        static void popups(HMENU m, std::vector<uint16_t>& out)
        {
            for (int i = 0; i < GetMenuItemCount(m); ++i) {
                HMENU sub = GetSubMenu(m, i);
                if (!sub)
                    continue;
                std::string title = menuText(m, i);
                out.push_back(title == "&Datei"                ? STR_HELP_FILE_MENU
                              : title == "&Bearbeiten"         ? STR_HELP_EDIT_MENU
                              : title == "&Ansicht"            ? STR_HELP_VIEW_MENU
                              : title == "&Extras"             ? STR_HELP_EXTRAS_MENU
                              : title == "&?"                  ? STR_HELP_HELP_MENU
                              : title == "Do&m\xE4nen sortieren" ? STR_HELP_SORT_DOMAINS_MENU
                              : title == "D&okumente sortieren" ? STR_HELP_SORT_DOCUMENTS_MENU
                              : title == " "                   ? STR_APP_NAME
                                                               : 0);
                popups(sub, out);
            }
        }
    };
    Walk::popups(menu, expected);
    std::vector<uint16_t> popupRecords;
    for (const MenuHelpRecord& r : table)
        if (r.key == 0)
            popupRecords.push_back(r.stringId);
    CHECK(popupRecords == expected);
    for (size_t i = 0; i < expected.size() && i < table.size(); ++i)
        CHECK(table[i].key == 0);

    std::vector<std::pair<int, std::string>> commands;
    collectCommandTexts(menu, commands);
    for (const auto& command : commands) {
        CAPTURE(command.first);
        CHECK(hasHelp(table, command.first));
    }
    for (UINT command : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE, SC_TASKLIST}) {
        CAPTURE(command);
        CHECK(hasHelp(table, command));
    }
    for (const ToolbarRecord& button : toolbarTable()) {
        CAPTURE(button.command);
        if (button.style != TBSTYLE_SEP)
            CHECK(hasHelp(table, button.command));
    }
    CHECK_FALSE(hasHelp(table, CMD_SWITCH_PANE));
    CHECK_FALSE(hasHelp(table, CMD_CONTEXT_MENU));
    DestroyMenu(menu);
}

TEST_CASE("toolbar buttons use every image once, tooltips named like their menu items")
{
    std::vector<ToolbarRecord> table = toolbarTable();

    HMENU menu = LoadMenuA(module(), MAKEINTRESOURCEA(MENU_MAIN));
    REQUIRE(menu);
    std::vector<std::pair<int, std::string>> menuCommands;
    for (int i = 0; i < MENU_BAR_POPUP_COUNT; ++i)
        collectCommandTexts(GetSubMenu(menu, i), menuCommands);
    DestroyMenu(menu);

    std::multiset<int> images;
    for (const ToolbarRecord& button : table) {
        CAPTURE(button.command);
        if (button.style == TBSTYLE_SEP)
            continue;
        images.insert(button.image);
        CHECK((button.style == TBSTYLE_BUTTON || button.style == TBSTYLE_CHECK || button.style == TBSTYLE_CHECKGROUP));
        std::string tip = loadString(button.tooltip);
        CHECK(!tip.empty());
        for (const auto& item : menuCommands)
            if (item.first == button.command)
                CHECK(withoutMnemonicAndKeys(item.second) == tip);
    }
    CHECK(images.size() == TOOLBAR_IMAGE_COUNT);
    for (int image = 0; image < TOOLBAR_IMAGE_COUNT; ++image)
        CHECK(images.count(image) == 1);
}

TEST_CASE("help tables pair controls of their dialog with topics and end in 0, 0")
{
    struct Table {
        int id;
        bool childTemplate;
        size_t pairs;
    };
    for (const Table& t : {Table{RCDATA_HELP_SAVE_OPTIONS, true, 6}, Table{RCDATA_HELP_PROPERTIES, true, 18},
                           Table{RCDATA_HELP_FIND, false, 5}, Table{RCDATA_HELP_CONTENT_SEARCH, false, 5},
                           Table{RCDATA_HELP_SETTINGS, false, 6}}) {
        CAPTURE(t.id);
        Raw raw = findRaw(MAKEINTRESOURCEA(t.id), MAKEINTRESOURCEA(10));
        REQUIRE(raw.data);
        REQUIRE(raw.size == (t.pairs + 1) * 8);
        CHECK(le32(raw.data + raw.size - 8) == 0);
        CHECK(le32(raw.data + raw.size - 4) == 0);

        TestDialog dialog(t.id, t.childTemplate);
        REQUIRE(dialog.dialog);
        for (size_t i = 0; i < t.pairs; ++i) {
            uint32_t control = le32(raw.data + 8 * i);
            CAPTURE(control);
            CHECK(GetDlgItem(dialog.dialog, int(control)) != nullptr);
            CHECK(le32(raw.data + 8 * i + 4) != 0);
        }
    }
}

TEST_CASE("the missing page is the ten lines ended by CR LF, zero-terminated")
{
    const char expected[] = "<html>\r\n"
                            "<head>\r\n"
                            "<title>Missing</title>\r\n"
                            "</head>\r\n"
                            "<body>\r\n"
                            "<h1 align=center>Tarnview</h1>\r\n"
                            "<h3 align=center>The requested link is not available.</h3>\r\n"
                            "<h3 align=center>Select Back to return to the previous page.</h3>\r\n"
                            "</body>\r\n"
                            "</html>\r\n";
    Raw raw = findRaw(MAKEINTRESOURCEA(RCDATA_MISSING_PAGE), MAKEINTRESOURCEA(10));
    REQUIRE(raw.data);
    REQUIRE(raw.size == sizeof expected);
    CHECK(std::memcmp(raw.data, expected, sizeof expected) == 0);
}

TEST_CASE("icons and cursor load at their sizes")
{
    for (int id = ICON_PROGRAM; id <= ICON_HIDDEN_OVERLAY; ++id) {
        CAPTURE(id);
        HICON icon = static_cast<HICON>(LoadImageA(module(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        REQUIRE(icon);
        ICONINFO info;
        REQUIRE(GetIconInfo(icon, &info));
        BITMAP colour;
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        CHECK(colour.bmWidth == 16);
        CHECK(colour.bmHeight == 16);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }

    // The program icon brings a drawn 32 by 32 image, not a stretched 16.
    Raw group = findRaw(MAKEINTRESOURCEA(ICON_PROGRAM), MAKEINTRESOURCEA(14));
    REQUIRE(group.data);
    std::set<int> sizes;
    for (int i = 0; i < le16(group.data + 4); ++i)
        sizes.insert(group.data[6 + 14 * i]);
    CHECK(sizes == std::set<int>{16, 32});

    HCURSOR cursor = LoadCursorA(module(), MAKEINTRESOURCEA(CURSOR_SPLITTER));
    REQUIRE(cursor);
    ICONINFO info;
    REQUIRE(GetIconInfo(cursor, &info));
    CHECK_FALSE(info.fIcon);
    CHECK(info.xHotspot == 9);
    CHECK(info.yHotspot == 9);
    CHECK(info.hbmColor == nullptr);
    BITMAP mask;
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    CHECK(mask.bmWidth == 32);
    CHECK(mask.bmHeight == 64);
    DeleteObject(info.hbmMask);
}

TEST_CASE("bitmaps use the greys the common controls map to system colours")
{
    struct Picture {
        int id, width, height;
    };
    for (const Picture& p : {Picture{BITMAP_TOOLBAR, 16 * TOOLBAR_IMAGE_COUNT, 16}, Picture{BITMAP_SORT_ARROWS, 16, 8}}) {
        CAPTURE(p.id);
        HBITMAP mapped = CreateMappedBitmap(module(), p.id, 0, nullptr, 0);
        REQUIRE(mapped);
        BITMAP info;
        GetObjectA(mapped, sizeof info, &info);
        CHECK(info.bmWidth == p.width);
        CHECK(info.bmHeight == p.height);
        DeleteObject(mapped);

        // Colour mapping works on the colour table, so the bitmap must have one,
        // and its corner, the background, must be the button face grey.
        Raw raw = findRaw(MAKEINTRESOURCEA(p.id), MAKEINTRESOURCEA(2));
        REQUIRE(raw.data);
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(raw.data);
        REQUIRE(header->biBitCount == 4);
        const auto* colours = reinterpret_cast<const RGBQUAD*>(raw.data + header->biSize);
        const unsigned char* bits = raw.data + header->biSize + 16 * sizeof(RGBQUAD);
        int rowBytes = ((p.width * 4 + 31) / 32) * 4;
        const RGBQUAD& corner = colours[bits[(p.height - 1) * rowBytes] >> 4];
        CHECK((corner.rgbRed == 192 && corner.rgbGreen == 192 && corner.rgbBlue == 192));
    }

    // The sort arrows are drawn in greys only, so that they follow the
    // button colours.
    Raw arrows = findRaw(MAKEINTRESOURCEA(BITMAP_SORT_ARROWS), MAKEINTRESOURCEA(2));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(arrows.data);
    const auto* colours = reinterpret_cast<const RGBQUAD*>(arrows.data + header->biSize);
    const unsigned char* bits = arrows.data + header->biSize + 16 * sizeof(RGBQUAD);
    for (int i = 0; i < 8 * 4; ++i)
        for (int index : {bits[i] >> 4, bits[i] & 15}) {
            const RGBQUAD& c = colours[index];
            CHECK((c.rgbRed == c.rgbGreen && c.rgbGreen == c.rgbBlue));
        }
}

TEST_CASE("the extraction clip is an RLE8 AVI that the animation control opens")
{
    Raw avi = findRaw(MAKEINTRESOURCEA(AVI_EXTRACT), "AVI");
    REQUIRE(avi.data);
    REQUIRE(avi.size > 200);
    CHECK(std::memcmp(avi.data, "RIFF", 4) == 0);
    CHECK(std::memcmp(avi.data + 8, "AVI LIST", 8) == 0);
    const unsigned char* avih = avi.data + 32;
    REQUIRE(std::memcmp(avih - 8, "avih", 4) == 0);

    const unsigned char* strf = nullptr;
    for (DWORD at = 0; at + 4 < avi.size && !strf; ++at)
        if (std::memcmp(avi.data + at, "strf", 4) == 0)
            strf = avi.data + at + 8;
    REQUIRE(strf);
    const auto* format = reinterpret_cast<const BITMAPINFOHEADER*>(strf);
    CHECK(format->biCompression == BI_RLE8);
    CHECK(format->biBitCount == 8);

    // The control makes the colour of the first pixel transparent; it must be
    // the dialog grey, so that the clip still looks right where it cannot.
    const unsigned char* movi = nullptr;
    for (DWORD at = 0; at + 4 < avi.size && !movi; ++at)
        if (std::memcmp(avi.data + at, "movi00dc", 8) == 0)
            movi = avi.data + at + 12;
    REQUIRE(movi);
    const auto* colours = reinterpret_cast<const RGBQUAD*>(strf + format->biSize);
    REQUIRE(movi[0] != 0);
    const RGBQUAD& first = colours[movi[1]];
    CHECK((first.rgbRed == 192 && first.rgbGreen == 192 && first.rgbBlue == 192));

    TestDialog progress(DLG_EXTRACT_PROGRESS);
    REQUIRE(progress.dialog);
    HWND animation = GetDlgItem(progress.dialog, IDC_PROGRESS_ANIMATION);
    REQUIRE(animation);
    CHECK(SendMessageA(animation, ACM_OPENA, 0, reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(AVI_EXTRACT))) != 0);
    SendMessageA(animation, ACM_OPENA, 0, 0);
}

TEST_CASE("dialog templates create with their captions and controls inside")
{
    struct Dialog {
        int id;
        const char* caption;
        std::vector<int> controls;
    };
    const Dialog dialogs[] = {
        {DLG_EXTRACT_PROGRESS, "Extrahieren...", {101, 102, 103, 104, IDCANCEL}},
        {DLG_DUPLICATE_NAME, "Doppelter Dateiname", {101, 17, 18, 19, IDOK, 128, IDCANCEL}},
        {DLG_FIND, "Suchen", {101, 102, 103, 104, IDOK, IDCANCEL}},
        {DLG_CONTENT_SEARCH, "Dokumentinhalte durchsuchen", {101, 102, 103, 104, IDOK, IDCANCEL}},
        {DLG_SETTINGS, "Einstellungen", {101, 102, 103, 104, 105, 106, IDOK, IDCANCEL}},
        {DLG_ABOUT, nullptr, {IDOK}},
    };
    for (const Dialog& d : dialogs) {
        CAPTURE(d.id);
        TestDialog dialog(d.id);
        REQUIRE(dialog.dialog);
        CHECK_FALSE(IsWindowVisible(dialog.dialog));
        if (d.caption) {
            char caption[128] = "";
            GetWindowTextA(dialog.dialog, caption, sizeof caption);
            CHECK(std::string(caption) == d.caption);
        }
        RECT client;
        GetClientRect(dialog.dialog, &client);
        MapWindowPoints(dialog.dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
        for (int control : d.controls) {
            CAPTURE(control);
            HWND item = GetDlgItem(dialog.dialog, control);
            REQUIRE(item);
            RECT r;
            GetWindowRect(item, &r);
            CHECK((r.left >= client.left && r.top >= client.top && r.right <= client.right && r.bottom <= client.bottom));
        }
    }

    TestDialog duplicate(DLG_DUPLICATE_NAME);
    CHECK(duplicate.text(IDC_DUPLICATE_OK_FOR_ALL) == "OK f\xFCr &Alle");
    CHECK(duplicate.text(IDC_DUPLICATE_OVERWRITE) == "&Existierende Datei \xFC" "berschreiben");
    HWND warning = FindWindowExA(duplicate.dialog, nullptr, "Static", nullptr);
    bool hasIcon = false;
    for (; warning; warning = FindWindowExA(duplicate.dialog, warning, "Static", nullptr))
        hasIcon = hasIcon || SendMessageA(warning, STM_GETICON, 0, 0) != 0;
    CHECK(hasIcon);

    TestDialog about(DLG_ABOUT);
    std::string texts;
    for (HWND item = GetWindow(about.dialog, GW_CHILD); item; item = GetWindow(item, GW_HWNDNEXT)) {
        char buffer[128] = "";
        GetWindowTextA(item, buffer, sizeof buffer);
        texts += std::string(buffer) + "|";
    }
    CHECK(texts.find("|Tarnview|Version 1.12  vom 21.07.96|") != std::string::npos);
}

TEST_CASE("child templates: save options under the common dialog, properties page")
{
    struct Header {
        DWORD style;
        short cx, cy;
        std::string title;
    };
    auto readHeader = [](int id) {
        Header h = {};
        Raw raw = findRaw(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
        REQUIRE(raw.data);
        h.style = le32(raw.data);
        h.cx = short(le16(raw.data + 14));
        h.cy = short(le16(raw.data + 16));
        // Menu and class: an ordinal (0xFFFF, number) or a zero-ended text.
        const unsigned char* p = raw.data + 18;
        for (int field = 0; field < 2; ++field) {
            if (le16(p) == 0xFFFF) {
                p += 4;
                continue;
            }
            while (le16(p) != 0)
                p += 2;
            p += 2;
        }
        for (; le16(p) != 0; p += 2)
            h.title += char(le16(p));
        return h;
    };

    Header save = readHeader(DLG_SAVE_OPTIONS);
    CHECK((save.style & (WS_CHILD | WS_CLIPSIBLINGS | DS_CONTROL)) == (WS_CHILD | WS_CLIPSIBLINGS | DS_CONTROL));
    CHECK((save.style & WS_CAPTION) == 0);
    CHECK(save.cx == 280);
    CHECK(save.cy == 242);

    Header page = readHeader(DLG_PROPERTIES_GENERAL);
    CHECK((page.style & WS_CHILD) != 0);
    CHECK(page.title == "Allgemein");

    TestDialog options(DLG_SAVE_OPTIONS, true);
    REQUIRE(options.dialog);
    CHECK(GetDlgItem(options.dialog, IDC_SAVE_STANDARD_CONTROLS) != nullptr);
    for (int box = IDC_SAVE_TEXT_FOLLOW_INTERNAL; box <= IDC_SAVE_MEDIA_REPLACE_MISSING; ++box) {
        CAPTURE(box);
        HWND item = GetDlgItem(options.dialog, box);
        REQUIRE(item);
        CHECK((GetWindowLongA(item, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX);
    }
}
