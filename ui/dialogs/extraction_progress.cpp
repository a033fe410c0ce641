#include "ui/dialogs/extraction_progress.h"

#include <commctrl.h>

#include "extract/local_names.h"
#include "resources/dialog_ids.h"
#include "resources/resource_ids.h"
#include "ui/dialogs/duplicate_prompt.h"

namespace {

// A save that ends within this time never shows its window.
const DWORD kShowDelayMs = 1000;

}  // namespace

bool ExtractionProgress::open(int32_t itemCount) {
    if (!createModeless(main_, DLG_EXTRACT_PROGRESS))
        return false;
    EnableWindow(main_, FALSE);
    shown_ = false;
    startTime_ = GetTickCount();
    SendDlgItemMessageA(window(), IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, itemCount);
    return true;
}

void ExtractionProgress::close() {
    if (!window())
        return;
    // The main window first, so that it takes the activation back from the
    // progress window that goes.
    EnableWindow(main_, TRUE);
    DestroyWindow(window());
}

bool ExtractionProgress::pumpProgress(const ExtractionJob& job) {
    if (window()) {
        showJobState(job);
        showWhenDue();
    }
    dispatchQueuedMessages();
    return !cancelled_;
}

uint32_t ExtractionProgress::askAboutDuplicate(const char* name, uint32_t lastAnswer) {
    if (cancelled_)
        return ANSWER_NUMBER;
    uint32_t answer = askAboutDuplicateName(window() ? window() : main_, name, lastAnswer);
    if (answer == kDuplicatePromptCancelled) {
        cancelled_ = true;
        answer = ANSWER_NUMBER;
    }
    // The time spent on the question does not count towards showing the
    // window.
    if (window() && !shown_)
        startTime_ = GetTickCount();
    return answer;
}

void ExtractionProgress::showJobState(const ExtractionJob& job) {
    const SaveItem* item = job.currentItem();
    if (item && item != shownItem_) {
        SetDlgItemTextA(window(), IDC_PROGRESS_SOURCE, item->name());
        SetDlgItemTextA(window(), IDC_PROGRESS_TARGET, item->localName());
    }
    shownItem_ = item;
    if (job.count() != shownCount_ || job.processedCount() != shownDone_) {
        shownCount_ = job.count();
        shownDone_ = job.processedCount();
        SendDlgItemMessageA(window(), IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, shownCount_);
        SendDlgItemMessageA(window(), IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(shownDone_), 0);
    }
}

void ExtractionProgress::showWhenDue() {
    if (shown_ || GetTickCount() - startTime_ <= kShowDelayMs)
        return;
    shown_ = true;
    ShowWindow(window(), SW_SHOW);
    UpdateWindow(window());
}

void ExtractionProgress::dispatchQueuedMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        // The end of the program was asked for meanwhile: the main loop
        // must still see it, and the save stops.
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            cancelled_ = true;
            return;
        }
        if (window() && IsDialogMessageA(window(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool ExtractionProgress::onCommand(int id, int) {
    if (id == IDCANCEL)
        cancelled_ = true;
    return true;
}

INT_PTR ExtractionProgress::onOtherMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_SHOWWINDOW)
        onShowWindow(wParam != FALSE);
    return FALSE;
}

void ExtractionProgress::onShowWindow(bool shown) {
    // The clip plays by itself from the moment it is open.
    if (shown && window())
        Animate_OpenEx(GetDlgItem(window(), IDC_PROGRESS_ANIMATION), GetModuleHandleA(nullptr),
                       MAKEINTRESOURCEA(AVI_EXTRACT));
}
