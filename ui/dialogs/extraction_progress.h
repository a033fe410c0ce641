// The window side of a running save: the progress window "Extrahieren...",
// the messages of the thread handled between chunks, and the duplicate-name
// question. The save runs on the main thread, so this host is what keeps
// the program's windows alive meanwhile.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/window_base.h"
#include "extract/extraction_job.h"

class SaveItem;

class ExtractionProgress : public ExtractionHost, private DialogBase {
public:
    explicit ExtractionProgress(HWND mainWindow) : main_(mainWindow) {}
    ~ExtractionProgress() override { close(); }
    ExtractionProgress(const ExtractionProgress&) = delete;
    ExtractionProgress& operator=(const ExtractionProgress&) = delete;

    // The user has cancelled the save: in the save dialog, the progress
    // window or the duplicate-name question.
    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }

    // Creates the window hidden, for a save of `itemCount` documents so far,
    // and disables the main window. False when the window cannot be made;
    // the main window is then left as it was.
    bool open(int32_t itemCount);
    // Enables the main window and destroys the progress window.
    void close();

    // Shows the window once the save has run for more than a second, shows
    // the document being written and the count done, and handles every
    // queued message of the thread. False once the user has cancelled.
    bool pumpProgress(const ExtractionJob& job) override;
    uint32_t askAboutDuplicate(const char* name, uint32_t lastAnswer) override;

private:
    // Every command counts as handled; only Cancel (or Escape) does
    // anything, and nothing closes the window but the end of the save.
    bool onCommand(int id, int code) override;
    INT_PTR onOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onShowWindow(bool shown);

    void showJobState(const ExtractionJob& job);
    void showWhenDue();
    void dispatchQueuedMessages();

    HWND main_;
    bool shown_ = false;
    DWORD startTime_ = 0;
    bool cancelled_ = false;
    const SaveItem* shownItem_ = nullptr;
    int32_t shownCount_ = -1;
    int32_t shownDone_ = -1;
};
