#include "ui/dialogs/dialog_text.h"

bool readControlText(HWND control, char* out, size_t size) {
    if (size == 0)
        return false;
    out[0] = '\0';
    // The length may be more than the text needs, never less.
    int length = GetWindowTextLengthA(control);
    if (length < 0 || static_cast<size_t>(length) >= size)
        return false;
    GetWindowTextA(control, out, static_cast<int>(size));
    return true;
}
