#include "ui/dialogs/option_boxes.h"

void showOptionBoxes(HWND dialog, const OptionBox* boxes, size_t count, uint32_t options) {
    for (size_t i = 0; i < count; ++i)
        CheckDlgButton(dialog, boxes[i].id, (options & boxes[i].option) ? BST_CHECKED : BST_UNCHECKED);
}

uint32_t readOptionBoxes(HWND dialog, const OptionBox* boxes, size_t count, uint32_t options) {
    for (size_t i = 0; i < count; ++i) {
        if (IsDlgButtonChecked(dialog, boxes[i].id) == BST_CHECKED)
            options |= boxes[i].option;
        else
            options &= ~boxes[i].option;
    }
    return options;
}
