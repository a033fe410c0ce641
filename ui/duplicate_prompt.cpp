#include "ui/duplicate_prompt.h"

#include "resources/dialog_ids.h"

namespace {

class DuplicateNamePrompt {
public:
    DuplicateNamePrompt(const char* name, uint32_t lastAnswer) : name_(name), lastAnswer_(lastAnswer) {}

    uint32_t run(HWND owner) {
        INT_PTR shown = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(DLG_DUPLICATE_NAME), owner,
                                        dialogProc, reinterpret_cast<LPARAM>(this));
        return shown > 0 ? answer_ : IDC_DUPLICATE_RENAME;
    }

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        DuplicateNamePrompt* self;
        if (message == WM_INITDIALOG) {
            self = reinterpret_cast<DuplicateNamePrompt*>(lParam);
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        } else {
            self = reinterpret_cast<DuplicateNamePrompt*>(GetWindowLongPtrA(dialog, DWLP_USER));
        }
        if (!self)
            return FALSE;
        switch (message) {
        case WM_INITDIALOG:
            return self->onInitDialog(dialog);
        case WM_COMMAND:
            return self->onCommand(dialog, LOWORD(wParam));
        default:
            return FALSE;
        }
    }

    INT_PTR onInitDialog(HWND dialog) {
        SetDlgItemTextA(dialog, IDC_DUPLICATE_FILE_NAME, name_);
        HWND focus = GetDlgItem(dialog, IDOK);
        if (lastAnswer_ >= IDC_DUPLICATE_OVERWRITE && lastAnswer_ <= IDC_DUPLICATE_RENAME) {
            CheckRadioButton(dialog, IDC_DUPLICATE_OVERWRITE, IDC_DUPLICATE_RENAME, static_cast<int>(lastAnswer_));
            focus = GetDlgItem(dialog, static_cast<int>(lastAnswer_));
        }
        // The focus goes to the chosen answer itself: given to the first
        // radio button of the group, it would choose that one.
        SetFocus(focus);
        return FALSE;
    }

    INT_PTR onCommand(HWND dialog, int id) {
        switch (id) {
        case IDOK:
            answer_ = checkedAnswer(dialog);
            break;
        case IDC_DUPLICATE_OK_FOR_ALL:
            answer_ = checkedAnswer(dialog) | DUPLICATE_FOR_ALL;
            break;
        case IDCANCEL:
            answer_ = kDuplicatePromptCancelled;
            break;
        default:
            return FALSE;
        }
        EndDialog(dialog, 1);
        return TRUE;
    }

    static uint32_t checkedAnswer(HWND dialog) {
        for (int id = IDC_DUPLICATE_OVERWRITE; id <= IDC_DUPLICATE_RENAME; ++id)
            if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
                return static_cast<uint32_t>(id);
        return 0;
    }

    const char* name_;
    uint32_t lastAnswer_;
    uint32_t answer_ = 0;
};

}  // namespace

uint32_t askAboutDuplicateName(HWND owner, const char* name, uint32_t lastAnswer) {
    DuplicateNamePrompt prompt(name, lastAnswer);
    return prompt.run(owner);
}
