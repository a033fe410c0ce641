// What Tarnview relies on from the browser whose cache it reads. The browser
// is an outside program: these names and bytes are its, not ours, and every
// part of Tarnview that meets the browser takes them from here.
#pragma once

#include <cstdint>

// The browser's own cache directory: REG_SZ "Cache Dir" under this key of
// HKEY_CURRENT_USER. Nothing else of the key is read.
constexpr char kNavigatorCacheKey[] = "Software\\Netscape\\Netscape Navigator\\Cache";
constexpr char kNavigatorCacheDirValue[] = "Cache Dir";

// The browser's verify option: REG_DWORD "Check Server" under this key. The
// browser shows cached documents without asking the server only at 2.
constexpr char kNavigatorMainKey[] = "Software\\Netscape\\Netscape Navigator\\Main";
constexpr char kNavigatorCheckServerValue[] = "Check Server";
constexpr uint32_t kCheckServerNever = 2;

// The cache index inside the cache directory, a Berkeley DB 1.x hash file.
constexpr char kCacheIndexName[] = "FAT.DB";

// The index header: the hash magic 0x061561 stored big-endian in bytes 0-3;
// the page size is big-endian in bytes 12-15, of which only byte 14 counts
// (pages are multiples of 256 bytes).
constexpr uint32_t kIndexHeaderSize = 16;
constexpr unsigned char kIndexMagic[4] = {0x00, 0x06, 0x15, 0x61};
constexpr uint32_t kIndexPageSizeByte = 14;
// The hash library's whole header, of which the 16 bytes above are the
// start: its sizes tell how many pages the file uses. Stored big-endian
// whatever the byte order of the pages.
constexpr uint32_t kHashHeaderSize = 260;

// The browser's own bookkeeping records in the index carry keys that begin
// with these four characters; they describe no document.
constexpr char kInternalKeyPrefix[] = "INT_";

// The running browser's DDE service and the topics Tarnview uses: a probe,
// showing a URL, bringing a window forward and asking for its title.
constexpr char kNavigatorDdeService[] = "NETSCAPE";
constexpr char kNavigatorTopicVersion[] = "WWW_Version";
constexpr char kNavigatorTopicOpenUrl[] = "WWW_OpenURL";
constexpr char kNavigatorTopicActivate[] = "WWW_Activate";
constexpr char kNavigatorTopicWindowInfo[] = "WWW_GetWindowInfo";

// The program started when no browser path is configured, found by the
// shell's search; and how long it gets to offer its DDE service.
constexpr char kNavigatorExecutable[] = "netscape.exe";
constexpr uint32_t kNavigatorStartTimeoutMs = 3000;
