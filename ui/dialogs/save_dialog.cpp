#include "ui/dialogs/save_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "core/file_paths.h"
#include "core/owned_text.h"
#include "core/sorted_collection.h"
#include "extract/extraction_run.h"
#include "extract/local_names.h"
#include "index/cache_entry.h"
#include "resources/dialog_ids.h"
#include "resources/resource_ids.h"
#include "resources/string_ids.h"
#include "settings/settings.h"
#include "ui/dialogs/dialog_help.h"
#include "ui/dialogs/extraction_progress.h"
#include "ui/dialogs/help_call.h"

namespace {

// "Alle Dateien" is appended with at most this many characters.
const size_t kAllFilesLength = 39;
// A longer extension makes no useful file type: "Alle Dateien" it is.
const size_t kLongestFilterExtension = 16;
const int32_t kMimeHtml = 0;
const int32_t kMimeText = 1;

// The help engine's macro for the dialog's "Hilfe" button.
const char kSaveDialogHelpMacro[] = "AL(\"SAVEDLG\",1)";

void loadText(UINT id, char* out, size_t size) {
    if (LoadStringA(GetModuleHandleA(nullptr), id, out, static_cast<int>(size)) <= 0)
        out[0] = '\0';
}

// The filter of a document's own type: string 36 with its extension, upper
// case first, into `out` (1025 bytes, wsprintf's limit); false when the name
// has no usable extension.
bool formatTypeFilter(char* out, const char* localName) {
    const char* dot = localName ? std::strrchr(localName, '.') : nullptr;
    if (!dot || !dot[1] || std::strlen(dot + 1) > kLongestFilterExtension)
        return false;
    char upper[kLongestFilterExtension + 1];
    copyTextBounded(upper, sizeof upper, dot + 1);
    CharUpperA(upper);
    char pattern[260];
    loadText(STR_FILTER_OF_TYPE, pattern, sizeof pattern);
    wsprintfA(out, pattern, upper, dot + 1, dot + 1);
    return true;
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isDirectory(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool selectionHasHtml(const SortedCollection& selection) {
    for (int32_t i = 0; i < selection.count(); ++i)
        if (static_cast<const CacheEntry*>(selection.at(i))->mimeIndex() == kMimeHtml)
            return true;
    return false;
}

// The object is also the dialog's hook: bound to the template of the link
// options, or, when several documents without a page among them are saved,
// to the empty child the platform makes for a hook without a template.
class SaveDialog : public DialogWithHelp {
public:
    SaveDialog(const SaveDialogSetup& setup, const SortedCollection& selection, ExtractionProgress& progress)
        : DialogWithHelp(setup.helpFile), setup_(setup), selection_(selection), progress_(progress) {}

    MessageCode run(std::unique_ptr<ExtractionJob>& job, char (&chosenFolder)[MAX_PATH]);

private:
    bool severalDocuments() const { return selection_.count() > 1; }
    const CacheEntry& firstEntry() const { return *static_cast<const CacheEntry*>(selection_.at(0)); }
    MessageCode fillJob(ExtractionJob& job, std::unique_ptr<SaveItem> single, const char* chosenName);

    bool onInitDialog() override;
    // The buttons are the file dialog's own, which handles them; the
    // options are read when it reports OK.
    bool onCommand(int, int) override { return false; }
    INT_PTR onNotify(const NMHDR& header) override;
    void onFileOk();
    void onSelectionChange();
    void onHelpButton();

    const SaveDialogSetup& setup_;
    const SortedCollection& selection_;
    ExtractionProgress& progress_;
    bool offerOptions_ = false;
    char multipleFiles_[64] = "";
};

MessageCode SaveDialog::run(std::unique_ptr<ExtractionJob>& job, char (&chosenFolder)[MAX_PATH]) {
    chosenFolder[0] = '\0';
    offerOptions_ = selectionHasHtml(selection_);
    char file[MAX_PATH] = "";
    char filter[kSaveFilterSize];
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = setup_.owner;
    dialog.hInstance = GetModuleHandleA(nullptr);
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpfnHook = DialogBase::fileDialogHookProc;
    dialog.lpTemplateName = MAKEINTRESOURCEA(DLG_SAVE_OPTIONS);
    dialog.lCustData = bindingData();
    // The program's current directory never follows the dialog: a save
    // folder holds files from the cache, and nothing may be looked up there
    // later. The dialog opens where the last save went instead.
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (setup_.initialFolder[0])
        dialog.lpstrInitialDir = setup_.initialFolder;
    if (offerOptions_)
        dialog.Flags |= OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_SHOWHELP;

    std::unique_ptr<SaveItem> single;
    if (severalDocuments()) {
        dialog.Flags |= OFN_NOVALIDATE | OFN_ENABLEHOOK | OFN_SHOWHELP;
        buildSaveFilter(filter, sizeof filter, -1, nullptr);
        loadText(STR_MULTIPLE_FILES, multipleFiles_, sizeof multipleFiles_);
        copyTextBounded(file, sizeof file, multipleFiles_);
    } else {
        int32_t status;
        single.reset(checkCreated(makeSaveItem(firstEntry()), status));
        if (!single)
            return MSG_OUT_OF_MEMORY;
        dialog.Flags |= OFN_OVERWRITEPROMPT;
        buildSaveFilter(filter, sizeof filter, single->mimeIndex(), single->localName());
        copyTextBounded(file, sizeof file, single->localName());
    }

    if (!GetSaveFileNameA(&dialog)) {
        progress_.cancel();
        return MSG_OK;
    }
    // The folder comes from the dialog's answer, never from the current
    // directory, which the dialog does not promise to leave there.
    char folder[MAX_PATH];
    if (!folderOfChosenPath(folder, sizeof folder, file, dialog.nFileOffset) || !isDirectory(folder))
        return MSG_COPY_FAILED;
    const char* chosenName = file + dialog.nFileOffset;
    if (!severalDocuments() && !isPlainFileName(chosenName))
        return MSG_COPY_FAILED;
    copyTextBounded(chosenFolder, sizeof chosenFolder, folder);

    MessageCode status;
    job = createJob(*setup_.model, folder, *setup_.options, &progress_, status);
    if (!job)
        return status;
    return fillJob(*job, std::move(single), chosenName);
}

MessageCode SaveDialog::fillJob(ExtractionJob& job, std::unique_ptr<SaveItem> single, const char* chosenName) {
    if (single) {
        // The name is used as typed; the dialog has asked about replacing
        // a file of that name. An item that cannot be added is not saved.
        if (!single->rename(chosenName))
            return MSG_OUT_OF_MEMORY;
        single->setFlags(FLAG_NAMED_BY_USER);
        addSaveItem(job, std::move(single));
        return job.status() != 0 ? MSG_OUT_OF_MEMORY : MSG_OK;
    }
    // Only the folder counts: the documents keep their proposed names.
    for (int32_t i = 0; i < selection_.count(); ++i) {
        addDocument(job, *static_cast<const CacheEntry*>(selection_.at(i)));
        if (job.status() != 0)
            return MSG_OUT_OF_MEMORY;
    }
    return MSG_OK;
}

bool SaveDialog::onInitDialog() {
    HWND hook = window();
    attachHelpTable(hook, RCDATA_HELP_SAVE_OPTIONS);
    // The documents keep their own names: only the folder is chosen.
    if (severalDocuments())
        EnableWindow(GetDlgItem(GetParent(hook), IDC_SAVE_FILE_NAME), FALSE);
    if (offerOptions_) {
        ExtractOptions options = *setup_.options;
        for (int bit = 0; bit < 6; ++bit)
            CheckDlgButton(hook, IDC_SAVE_TEXT_FOLLOW_INTERNAL + bit,
                           (options >> bit) & 1 ? BST_CHECKED : BST_UNCHECKED);
    }
    return true;
}

INT_PTR SaveDialog::onNotify(const NMHDR& header) {
    switch (header.code) {
    case CDN_FILEOK:
        onFileOk();
        // 0: the dialog may close with the name chosen.
        setMessageResult(0);
        return 0;
    case CDN_SELCHANGE:
        onSelectionChange();
        return 0;
    case CDN_HELP:
        onHelpButton();
        return 0;
    default:
        return 0;
    }
}

void SaveDialog::onFileOk() {
    if (!offerOptions_)
        return;
    ExtractOptions options = 0;
    for (int bit = 0; bit < 6; ++bit)
        if (IsDlgButtonChecked(window(), IDC_SAVE_TEXT_FOLLOW_INTERNAL + bit) == BST_CHECKED)
            options |= 1u << bit;
    *setup_.options = options;
}

void SaveDialog::onSelectionChange() {
    // A click on a file of the list would put its name in the field.
    if (severalDocuments())
        CommDlg_OpenSave_SetControlText(GetParent(window()), IDC_SAVE_FILE_NAME, multipleFiles_);
}

void SaveDialog::onHelpButton() {
    callHelp(helpFile(), window(), HELP_COMMAND, reinterpret_cast<ULONG_PTR>(kSaveDialogHelpMacro));
}

}  // namespace

void buildSaveFilter(char* out, size_t size, int32_t mimeIndex, const char* localName) {
    if (size < 2) {
        if (size)
            out[0] = '\0';
        return;
    }
    char allFiles[kAllFilesLength + 1];
    loadText(STR_FILTER_ALL_FILES, allFiles, sizeof allFiles);
    char first[1025] = "";
    if (localName) {
        if (mimeIndex == kMimeHtml)
            loadText(STR_FILTER_HTML, first, sizeof first);
        else if (mimeIndex == kMimeText)
            loadText(STR_FILTER_TEXT, first, sizeof first);
        else if (!formatTypeFilter(first, localName))
            first[0] = '\0';
    }
    // The text, its terminating zero and the list's second zero must fit;
    // else the type is left out.
    if (std::strlen(first) + std::strlen(allFiles) + 2 > size)
        first[0] = '\0';
    copyTextBounded(out, size, first);
    appendTextBounded(out, size, allFiles);
    size_t length = std::strlen(out);
    for (size_t i = 0; i < length; ++i)
        if (out[i] == '#')
            out[i] = '\0';
    // The list ends with two zero bytes, also when its text was cut.
    if (length + 1 < size)
        out[length + 1] = '\0';
}

bool folderOfChosenPath(char* out, size_t size, const char* path, size_t fileOffset) {
    if (size)
        out[0] = '\0';
    if (fileOffset == 0 || fileOffset >= size || fileOffset > std::strlen(path) || !isSeparator(path[fileOffset - 1]))
        return false;
    std::memcpy(out, path, fileOffset);
    out[fileOffset] = '\0';
    return true;
}

MessageCode showSaveDialog(const SaveDialogSetup& setup, const SortedCollection& selection,
                           ExtractionProgress& progress, std::unique_ptr<ExtractionJob>& job,
                           char (&chosenFolder)[MAX_PATH]) {
    SaveDialog dialog(setup, selection, progress);
    return dialog.run(job, chosenFolder);
}
