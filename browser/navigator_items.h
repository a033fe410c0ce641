// The texts exchanged with Navigator: the URL as it goes on the browser's
// command line, the items the program sends over DDE and the window title in
// the browser's window information. Pure text work, so that it builds
// natively and can be tested with any input; the URLs come from a cache that
// another machine may have written, the replies from another program.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/message_code.h"

// A DDE string handle is an atom: it holds at most this many characters, and
// a longer item cannot be sent at all.
constexpr size_t kDdeItemLimit = 255;

// Whether `url` may be handed to the browser. MSG_URL_NOT_OPENED when it
// starts with "-" or "/" (the browser would take it for an option) or holds
// control bytes (below 0x20, and 0x7F); MSG_SCHEME_NOT_OPENED for any scheme
// but http, https, ftp, gopher and file, in any case: the browser caches
// documents only for those, and another scheme (javascript:, mailto:) would
// run or send something in the browser rather than show a document.
MessageCode checkUrlToOpen(const char* url);

// The URL as the browser's one command-line argument: in double quotes, with
// double quotes, blanks, control bytes and the backslashes just before the
// closing quote percent-encoded, so that however the browser splits its
// command line it finds exactly one argument, this URL. The length of the
// text, without its NUL.
size_t browserArgumentLength(const char* url);
// Writes it to `out`; false (and `out` empty) when it does not fit `size`.
bool formatBrowserArgument(const char* url, char* out, size_t size);

// The size of the buffer for the items of one open: 22 bytes more than the
// URL once encoded for the "WWW_OpenURL" item, but never less than 1024.
size_t navigatorItemBufferSize(const char* url);

// The "WWW_OpenURL" item: the URL in double quotes, each double quote in it
// encoded as %22 so that it cannot close the field and fill the browser's
// next one (where it would save the document), then the fixed fields
// ",,0xFFFFFFFF,0,,,". False (and `out` empty) when the URL holds control
// bytes or the item does not fit `size`; a buffer of
// navigatorItemBufferSize(url) holds the item of any URL without control
// bytes.
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
