// Reading the beginning (or all) of a cached file into memory.
#pragma once

#include <cstdint>

// Reads at most `limit` bytes of the file (all of it when `limit` is
// negative) into a malloc'd block one byte longer, terminated by a NUL.
// Returns null when the file cannot be opened or is no ordinary disk file
// (openCachedFile), its size cannot be had or is 2 GB or more, memory is
// short, or fewer bytes arrive. `length`, when
// given, receives the number of bytes read.
char* readFileHead(const char* path, int32_t limit, uint32_t* length = nullptr);
