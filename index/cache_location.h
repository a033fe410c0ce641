// Which directory is the browser's cache, and the browser's verify option.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/message_code.h"
#include "core/owned_text.h"

// No code of the browser's verify option is saved.
constexpr uint8_t kCheckServerUnknown = 0xFF;

// A directory named by an absolute path (isAbsolutePath) that exists and
// holds a FAT.DB whose header is a cache index's. A relative "Cache Dir" or
// "Cache" value is therefore never taken.
bool isValidCacheDirectory(const char* path);

// The browser's own "Cache Dir", or "" (also when it does not fit `size`).
// `out` always ends in a NUL inside it.
void readBrowserCacheDirectory(char* out, size_t size);

// Sets `directory` from the user's stored choice, else from the browser's;
// a stored choice that is no longer valid is deleted. MSG_NO_CACHE_DIRECTORY
// when neither is valid, MSG_OUT_OF_MEMORY when the path could not be kept;
// `directory` is then left as it was.
MessageCode findCacheDirectory(OwnedText& directory);

// Makes `path` the cache directory, remembering it when it is not the
// browser's own. The full path is kept: a relative one would later resolve
// against whatever folder happens to be current. False when the path is not
// a valid cache directory; nothing is changed then.
bool setCacheDirectory(OwnedText& directory, const char* path);

// The browser's verify option as a code: 0 never verify, 1 and 2 the
// browser's other settings, kCheckServerUnknown when it cannot be read.
uint8_t readCheckServer();

// Writes the option for a code of readCheckServer; other codes, and a
// browser without its key, write nothing.
void writeCheckServer(uint8_t code);

// Sets the option to never verify, saving the browser's setting in
// `savedCode` the first time in a run.
void forceNeverVerify(uint8_t& savedCode);

// Puts the saved setting back, unless the user changed the option meanwhile
// or never verify was the setting before; then forgets it.
void restoreCheckServer(uint8_t& savedCode);
