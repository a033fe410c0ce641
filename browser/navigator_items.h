// The texts exchanged with a running Navigator over DDE: the items the
// program sends and the window title in the browser's window information.
// Pure text work, so that it builds natively and can be tested with any
// input; the replies come from another program.
#pragma once

#include <cstddef>
#include <cstdint>

// The size of the buffer for the items of one open: 22 bytes more than the
// URL, but never less than 1024.
size_t navigatorItemBufferSize(size_t urlLength);

// The "WWW_OpenURL" item: the URL in double quotes and the fixed fields
// ",,0xFFFFFFFF,0,,,". False (and `out` empty) when it does not fit `size`;
// a buffer of navigatorItemBufferSize(strlen(url)) always holds it.
bool formatOpenUrlItem(const char* url, char* out, size_t size);

// The "WWW_Activate" item "%lx,0x0" and the "WWW_GetWindowInfo" item "%lx"
// for a window id, in lower-case hex without prefix.
void formatActivateItem(uint32_t windowId, char* out, size_t size);
void formatWindowInfoItem(uint32_t windowId, char* out, size_t size);

// The window id in the reply to "WWW_OpenURL": its first 32-bit word
// (little-endian), or 0 when the reply is shorter than 4 bytes.
uint32_t windowIdOfReply(const unsigned char* data, size_t size);

// The window title in a "WWW_GetWindowInfo" reply (`size` bytes, not
// necessarily ending in a NUL): copied into `out` (at most `outSize` - 1
// characters of the reply), the last double-quoted string is the title.
// Null when the reply does not end in a double quote; else the title inside
// `out`.
const char* windowTitleOfInfo(const char* data, size_t size, char* out, size_t outSize);
