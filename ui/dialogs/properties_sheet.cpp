#include "ui/dialogs/properties_sheet.h"

#include "core/sorted_collection.h"
#include "core/window_base.h"
#include "index/cache_entry.h"
#include "resources/dialog_ids.h"
#include "resources/resource_ids.h"
#include "ui/dialogs/dialog_help.h"
#include "ui/dialogs/list_format.h"
#include "ui/dialogs/message_box.h"

namespace {

// Texts of the page are built in buffers of this size.
const size_t kFieldTextSize = 128;

// The page "Allgemein" and the documents it steps through. The sheet is
// modal, so the selection and the model stay as they are while it is open.
class PropertiesPage : public DialogBase {
public:
    PropertiesPage(const char* helpFile, const SortedCollection& entries, HIMAGELIST largeIcons, int32_t timeZoneBias)
        : helpFile_(helpFile), entries_(entries), largeIcons_(largeIcons), timeZoneBias_(timeZoneBias) {}

    void show(HWND owner);

private:
    const CacheEntry& entry() const { return *static_cast<const CacheEntry*>(entries_.at(index_)); }

    bool onInitDialog() override;
    bool onCommand(int id, int code) override;
    INT_PTR onOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onDestroy();

    void fillPage();
    void setIcon();
    void setDate(int control, int32_t seconds);
    bool stepEntry(int id);
    void updateStepButtons();
    void disableKeepingFocus(HWND button);

    const char* helpFile_;
    const SortedCollection& entries_;
    HIMAGELIST largeIcons_;
    const int32_t timeZoneBias_;
    int32_t index_ = 0;
};

void PropertiesPage::show(HWND owner) {
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.hInstance = GetModuleHandleA(nullptr);
    page.pszTemplate = MAKEINTRESOURCEA(DLG_PROPERTIES_GENERAL);
    page.pfnDlgProc = DialogBase::pageProc;
    page.lParam = bindingData();

    PROPSHEETHEADERA sheet = {};
    sheet.dwSize = sizeof sheet;
    // No button to apply anything, and a caption the platform forms as the
    // properties of the document's title.
    sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_PROPTITLE;
    sheet.hwndParent = owner;
    sheet.hInstance = GetModuleHandleA(nullptr);
    sheet.pszCaption = entry().title();
    sheet.nPages = 1;
    sheet.nStartPage = 0;
    sheet.ppsp = &page;
    PropertySheetA(&sheet);
}

bool PropertiesPage::onInitDialog() {
    attachHelpTable(window(), RCDATA_HELP_PROPERTIES);
    fillPage();
    updateStepButtons();
    return true;
}

// A click on "<<" or ">>"; every command counts as handled.
bool PropertiesPage::onCommand(int id, int code) {
    if (code == BN_CLICKED && stepEntry(id))
        fillPage();
    return true;
}

// A page lives as long as its sheet shows it: what it holds goes at
// WM_DESTROY, before the sheet ends.
INT_PTR PropertiesPage::onOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_HELP:
    case WM_CONTEXTMENU:
        return showContextHelp(helpFile_, window(), message, wParam, lParam);
    case WM_DESTROY:
        onDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

void PropertiesPage::onDestroy() {
    HICON icon = reinterpret_cast<HICON>(SendDlgItemMessageA(window(), IDC_PROP_ICON, STM_GETICON, 0, 0));
    if (icon)
        DestroyIcon(icon);
    releaseHelpTable(window());
}

void PropertiesPage::fillPage() {
    HWND page = window();
    const CacheEntry& shown = entry();
    setIcon();
    SetDlgItemTextA(page, IDC_PROP_TITLE, shown.title());
    SetDlgItemTextA(page, IDC_PROP_URL, shown.url());
    SetDlgItemTextA(page, IDC_PROP_TYPE, shown.mimeType());
    SetDlgItemTextA(page, IDC_PROP_LOCAL_FILE, shown.localFile());
    char size[kFieldTextSize];
    formatSize(shown.contentLength(), false, size, sizeof size);
    SetDlgItemTextA(page, IDC_PROP_SIZE, size);
    setDate(IDC_PROP_MODIFIED, shown.lastModified());
    setDate(IDC_PROP_LAST_ACCESS, shown.lastAccessed());
    setDate(IDC_PROP_EXPIRES, shown.expires());
}

void PropertiesPage::setIcon() {
    HICON icon = largeIcons_ ? ImageList_GetIcon(largeIcons_, entry().iconIndex(), ILD_TRANSPARENT) : nullptr;
    HICON replaced = reinterpret_cast<HICON>(
        SendDlgItemMessageA(window(), IDC_PROP_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
    if (replaced && replaced != icon)
        DestroyIcon(replaced);
}

void PropertiesPage::setDate(int control, int32_t seconds) {
    char text[kFieldTextSize];
    formatDateTime(seconds, timeZoneBias_, false, text, sizeof text);
    SetDlgItemTextA(window(), control, text);
}

bool PropertiesPage::stepEntry(int id) {
    int32_t step;
    int32_t limit;
    if (id == IDC_PROP_PREVIOUS) {
        step = -1;
        limit = 0;
    } else if (id == IDC_PROP_NEXT) {
        step = 1;
        limit = entries_.count() - 1;
    } else {
        return false;
    }
    if (index_ == limit)
        return false;
    index_ += step;
    updateStepButtons();
    PropSheet_SetTitle(GetParent(window()), PSH_PROPTITLE, entry().title());
    return true;
}

void PropertiesPage::updateStepButtons() {
    HWND previous = GetDlgItem(window(), IDC_PROP_PREVIOUS);
    HWND next = GetDlgItem(window(), IDC_PROP_NEXT);
    int32_t last = entries_.count() - 1;
    if (last == 0) {
        ShowWindow(previous, SW_HIDE);
        ShowWindow(next, SW_HIDE);
        return;
    }
    // Enabled first, so that the focus of a button disabled below has
    // somewhere to go.
    if (index_ > 0)
        EnableWindow(previous, TRUE);
    if (index_ < last)
        EnableWindow(next, TRUE);
    if (index_ == 0)
        disableKeepingFocus(previous);
    if (index_ == last)
        disableKeepingFocus(next);
}

void PropertiesPage::disableKeepingFocus(HWND button) {
    if (GetFocus() == button) {
        HWND other = GetNextDlgGroupItem(window(), button, FALSE);
        if (other && other != button)
            SendMessageA(window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(other), TRUE);
    }
    EnableWindow(button, FALSE);
}

}  // namespace

void showPropertiesSheet(HWND owner, const char* helpFile, const SortedCollection& entries, HIMAGELIST largeIcons,
                         int32_t timeZoneBias) {
    PropertiesPage page(helpFile, entries, largeIcons, timeZoneBias);
    page.show(owner);
}
