// Check boxes of a dialog that stand for bits of the program's option flags.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

struct OptionBox {
    int id;
    uint32_t option;
};

// Checks each box whose option is set in `options` and clears the others.
void showOptionBoxes(HWND dialog, const OptionBox* boxes, size_t count, uint32_t options);

// `options` with each box's option set when the box is checked and cleared
// when it is not; bits no box stands for stay as they are.
uint32_t readOptionBoxes(HWND dialog, const OptionBox* boxes, size_t count, uint32_t options);

template <size_t N>
void showOptionBoxes(HWND dialog, const OptionBox (&boxes)[N], uint32_t options) {
    showOptionBoxes(dialog, boxes, N, options);
}

template <size_t N>
uint32_t readOptionBoxes(HWND dialog, const OptionBox (&boxes)[N], uint32_t options) {
    return readOptionBoxes(dialog, boxes, N, options);
}
