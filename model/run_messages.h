// The window messages between a background run (loading details or a
// content search) and the main window. Their numbers are fixed: the main
// window's procedure is written against them.
#pragma once

#include <cstdint>

// WM_USER, spelt out so that the model needs no windows header.
constexpr uint32_t kUserMessageBase = 0x0400;

// Sent by the main thread just before it starts the thread.
// wParam: run kind; lParam: number of steps.
constexpr uint32_t WM_RUN_BEGINS = kUserMessageBase + 111;
// Posted by the thread as its first action. wParam: run kind; lParam: 0.
constexpr uint32_t WM_RUN_STARTED = kUserMessageBase + 112;
// Posted by the thread after each step. wParam and lParam: 0.
constexpr uint32_t WM_RUN_STEP = kUserMessageBase + 113;
// Posted by the thread as its last action. wParam: run kind; lParam: 0.
constexpr uint32_t WM_RUN_ENDED = kUserMessageBase + 114;

enum RunKind : int32_t {
    RUN_NONE = 0,
    RUN_LOADING = 1,
    RUN_CONTENT_SEARCH = 2,
};
