// A list of texts in movable global memory, the form the clipboard and the
// shell's file operations take: texts joined by a separator, ended by two
// NULs.
#pragma once

#include <windows.h>

#include <cstddef>

#include "core/win_handles.h"

class GlobalTextList {
public:
    // "\r\n" gives lines without a final line break; "" gives NUL-separated
    // texts ended by two NULs, as the shell wants its file lists.
    explicit GlobalTextList(const char* separator) : separator_(separator) {}
    ~GlobalTextList();
    GlobalTextList(const GlobalTextList&) = delete;
    GlobalTextList& operator=(const GlobalTextList&) = delete;

    // False when the block could not grow; the list is then as it was.
    bool append(const char* text);
    bool empty() const { return length_ == 0; }

    // The texts while the list holds them; null for an empty list.
    const char* text() const { return length_ ? data_ : nullptr; }
    // Hands the block to whoever takes it over (the clipboard), unlocked;
    // the list is empty afterwards.
    HGLOBAL release();

private:
    bool grow(size_t needed);

    const char* separator_;
    GlobalMemory block_;
    char* data_ = nullptr;  // the block, locked while the list holds it
    size_t length_ = 0;     // bytes used, without the final NULs
    size_t capacity_ = 0;
};

// Puts the list on the clipboard as text, owned by `owner`. The list is
// emptied when the clipboard took it over; a clipboard that cannot be
// opened is left as it was.
bool copyToClipboard(GlobalTextList& list, HWND owner);
