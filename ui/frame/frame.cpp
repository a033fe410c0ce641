// Creation of the frame's children, in the order the window needs them: the
// image lists before the panes that show them, the panes before the toolbar
// whose check buttons mirror their options.
#include "ui/frame/frame.h"

#include <shellapi.h>

#include <initializer_list>

#include "resources/resource_ids.h"
#include "resources/string_ids.h"
#include "ui/commands/command_dispatch.h"
#include "ui/frame/control_ids.h"
#include "ui/frame/list_pane.h"
#include "ui/frame/main_window.h"
#include "ui/frame/menu_help.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/resource_data.h"
#include "ui/frame/tree_pane.h"

namespace {

HINSTANCE instance() {
    return GetModuleHandleA(nullptr);
}

bool appendIcon(HIMAGELIST list, int iconId) {
    IconHandle icon(static_cast<HICON>(
        LoadImageA(instance(), MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    return icon && ImageList_ReplaceIcon(list, -1, icon.get()) >= 0;
}

// Our pictures carry more than 16 colours; a list of the default depth would
// reduce them.
const UINT kImageListFlags = ILC_MASK | ILC_COLOR24;

}  // namespace

bool Frame::create(HWND window) {
    window_ = window;
    if (!main_.menuHelp().load() || !detachContextMenus())
        return false;
    if (!createImageLists() || !createStatusBar() || !createDescriptionBars())
        return false;
    if (!main_.tree().create(window) || !main_.list().create(window))
        return false;
    if (!createToolbar())
        return false;
    main_.list().setupHeaderDrawing();
    // After the header drawing: the tips' subclass then sees every message of
    // the list first, also those the header drawing answers itself.
    main_.applyListTips();
    main_.commands().updateToolbarViewStates();
    measureStatusFont();
    SetWindowTextA(window, preloadedString(STR_APP_NAME));
    complete_ = true;
    layout();
    return true;
}

bool Frame::detachContextMenus() {
    HMENU bar = GetMenu(window_);
    if (!bar)
        return false;
    // The help table's popup records follow the whole menu, context menus
    // included, so its handles must be filled in before they are taken off.
    main_.menuHelp().fillHandles(window_);
    MenuHandle* detached[MENU_CONTEXT_POPUP_COUNT] = {&treeMenu_, &listSelectionMenu_, &listBackgroundMenu_};
    for (MenuHandle* menu : detached) {
        HMENU popup = GetSubMenu(bar, MENU_BAR_POPUP_COUNT);
        if (!popup || !RemoveMenu(bar, MENU_BAR_POPUP_COUNT, MF_BYPOSITION))
            return false;
        menu->reset(popup);
    }
    return true;
}

bool Frame::createImageLists() {
    char path[MAX_PATH];
    if (!GetModuleFileNameA(nullptr, path, sizeof path))
        return false;
    SHFILEINFOA info;
    systemSmallIcons_ = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    systemLargeIcons_ = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_SYSICONINDEX));
    if (!systemSmallIcons_ || !systemLargeIcons_)
        return false;

    documentMarks_.reset(ImageList_Create(16, 16, kImageListFlags, 2, 2));
    if (!documentMarks_ || !appendIcon(documentMarks_.get(), ICON_MARK_HIDDEN) ||
        !appendIcon(documentMarks_.get(), ICON_MARK_DELETED))
        return false;

    treeImages_.reset(ImageList_Create(16, 16, kImageListFlags, 4, 4));
    if (!treeImages_)
        return false;
    for (int icon : {ICON_CACHE_ROOT, ICON_RESULTS_ROOT, ICON_FOLDER_CLOSED, ICON_FOLDER_OPEN, ICON_HIDDEN_OVERLAY})
        if (!appendIcon(treeImages_.get(), icon))
            return false;
    return ImageList_SetOverlayImage(treeImages_.get(), 4, 1) != FALSE;
}

bool Frame::createStatusBar() {
    statusBar_ = CreateStatusWindowA(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBARS_SIZEGRIP, "", window_,
                                     ID_STATUS_BAR);
    if (!statusBar_)
        return false;
    int parts[2] = {150, -1};
    SendMessageA(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    progress_ = CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, statusBar_,
                                nullptr, instance(), nullptr);
    if (!progress_)
        return false;
    // The status bar draws its own sunken part around the bar.
    LONG exStyle = GetWindowLongA(progress_, GWL_EXSTYLE);
    SetWindowLongA(progress_, GWL_EXSTYLE, exStyle & ~WS_EX_STATICEDGE);
    SetWindowPos(progress_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return true;
}

bool Frame::createDescriptionBars() {
    char allFolders[260];
    if (LoadStringA(instance(), STR_ALL_FOLDERS, allFolders, sizeof allFolders) <= 0)
        allFolders[0] = '\0';
    const DWORD style = WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE | SS_SUNKEN;
    leftBar_ = CreateWindowExA(0, "STATIC", allFolders, style, 0, 0, 0, 0, window_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_LEFT_BAR)), instance(), nullptr);
    rightBar_ = CreateWindowExA(0, "STATIC", "", style, 0, 0, 0, 0, window_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_RIGHT_BAR)), instance(), nullptr);
    return leftBar_ && rightBar_;
}

bool Frame::createToolbar() {
    toolbar_ = CreateToolbarEx(window_, WS_CHILD | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS, ID_TOOLBAR, 0, nullptr, 0,
                               nullptr, 0, 0, 0, 0, 0, sizeof(TBBUTTON));
    if (!toolbar_)
        return false;
    TBADDBITMAP bitmap = {instance(), BITMAP_TOOLBAR};
    if (SendMessageA(toolbar_, TB_ADDBITMAP, TOOLBAR_IMAGE_COUNT, reinterpret_cast<LPARAM>(&bitmap)) < 0)
        return false;
    ResourceData table = findResourceData(RCDATA_TOOLBAR);
    if (!table.data)
        return false;
    for (size_t offset = 0; offset + TOOLBAR_RECORD_SIZE <= table.size; offset += TOOLBAR_RECORD_SIZE) {
        uint16_t image = readWord(table, offset);
        if (image == TOOLBAR_TABLE_END)
            return true;
        TBBUTTON button = {};
        button.iBitmap = image;
        button.idCommand = readWord(table, offset + 2);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = static_cast<BYTE>(readWord(table, offset + 4));
        button.dwData = readWord(table, offset + 6);
        if (!SendMessageA(toolbar_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button)))
            return false;
    }
    // A table without its end record is damaged.
    return false;
}

void Frame::destroyOwned() {
    documentMarks_.reset();
    treeImages_.reset();
    treeMenu_.reset();
    listSelectionMenu_.reset();
    listBackgroundMenu_.reset();
}
