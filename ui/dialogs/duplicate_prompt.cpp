#include "ui/dialogs/duplicate_prompt.h"

#include "core/window_base.h"
#include "extract/extraction_job.h"
#include "resources/dialog_ids.h"

// The question answers with the id of the button chosen: the save engine's
// answers are those ids, and "OK für Alle" is their bit for the rest of the
// save.
static_assert(ANSWER_OVERWRITE == IDC_DUPLICATE_OVERWRITE && ANSWER_DO_NOT_SAVE == IDC_DUPLICATE_SKIP &&
              ANSWER_NUMBER == IDC_DUPLICATE_RENAME && ANSWER_FOR_ALL == IDC_DUPLICATE_OK_FOR_ALL);

namespace {

class DuplicateNamePrompt : public DialogBase {
public:
    DuplicateNamePrompt(const char* name, uint32_t lastAnswer) : name_(name), lastAnswer_(lastAnswer) {}

    uint32_t run(HWND owner) {
        INT_PTR shown = runModal(owner, DLG_DUPLICATE_NAME);
        return shown > 0 ? answer_ : IDC_DUPLICATE_RENAME;
    }

private:
    bool onInitDialog() override {
        HWND dialog = window();
        SetDlgItemTextA(dialog, IDC_DUPLICATE_FILE_NAME, name_);
        HWND focus = GetDlgItem(dialog, IDOK);
        if (lastAnswer_ >= IDC_DUPLICATE_OVERWRITE && lastAnswer_ <= IDC_DUPLICATE_RENAME) {
            CheckRadioButton(dialog, IDC_DUPLICATE_OVERWRITE, IDC_DUPLICATE_RENAME, static_cast<int>(lastAnswer_));
            focus = GetDlgItem(dialog, static_cast<int>(lastAnswer_));
        }
        // The focus goes to the chosen answer itself: given to the first
        // radio button of the group, it would choose that one.
        SetFocus(focus);
        return false;
    }

    bool onCommand(int id, int code) override {
        if (id != IDC_DUPLICATE_OK_FOR_ALL)
            return DialogBase::onCommand(id, code);
        endWithAnswer(checkedAnswer(window()) | DUPLICATE_FOR_ALL);
        return true;
    }
    void onOk() override { endWithAnswer(checkedAnswer(window())); }
    void onCancel() override { endWithAnswer(kDuplicatePromptCancelled); }

    // Every answer ends the dialog with 1: 0 and -1 are what a dialog that
    // could not be shown returns.
    void endWithAnswer(uint32_t chosen) {
        answer_ = chosen;
        endDialog(1);
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
