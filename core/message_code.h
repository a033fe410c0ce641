// Results of operations that can fail, and the way they reach the user.
//
// 0 is success, -1 is out of memory; any other value carries the message
// box style in its high word and the number of a resource string in its low
// word, so that one number both says what failed and how to show it.
#pragma once

#include <cstdint>

using MessageCode = int32_t;

constexpr MessageCode MSG_OK = 0;
constexpr MessageCode MSG_OUT_OF_MEMORY = -1;

// The style bits are those of MessageBox (MB_ICONHAND 0x10, MB_ICONEXCLAMATION
// 0x30, MB_ICONASTERISK 0x40, MB_OKCANCEL 0x1, MB_YESNOCANCEL 0x3).
constexpr MessageCode MSG_NO_CACHE_DIRECTORY = 0x1000B0;
constexpr MessageCode MSG_INVALID_CACHE_DIRECTORY = 0x1000B1;
constexpr MessageCode MSG_INVALID_PROGRAM = 0x1000B2;
constexpr MessageCode MSG_BROWSER_NOT_STARTED = 0x3000B3;
constexpr MessageCode MSG_NO_DDE_CONNECTION = 0x3000B4;
constexpr MessageCode MSG_SET_VERIFY_BY_HAND = 0x3100B6;
constexpr MessageCode MSG_OFFER_VERIFY_CHANGE = 0x3300B7;
constexpr MessageCode MSG_FIND_FINISHED = 0x4000B8;
constexpr MessageCode MSG_NOTHING_FOUND = 0x4000B9;
constexpr MessageCode MSG_COPY_FAILED = 0x3000BA;
constexpr MessageCode MSG_SCHEME_NOT_OPENED = 0x3000BB;
constexpr MessageCode MSG_URL_NOT_OPENED = 0x3000BC;
constexpr MessageCode MSG_HELP_FILE_MISSING = 0x3000BD;
constexpr MessageCode MSG_TARGET_FOLDER_UNUSABLE = 0x3000BE;

constexpr uint32_t messageStyle(MessageCode code) {
    return static_cast<uint32_t>(code) >> 16;
}

constexpr uint32_t messageStringId(MessageCode code) {
    return static_cast<uint32_t>(code) & 0xFFFF;
}
