// Read-only access to the program's RCDATA tables. Records are read with
// explicit little-endian loads and bounds, never by casting the block.
#pragma once

#include <cstddef>
#include <cstdint>

struct ResourceData {
    const unsigned char* data = nullptr;
    size_t size = 0;
};

// The RCDATA resource `id` of the executable; empty when it is missing.
ResourceData findResourceData(int id);

// 0 for bytes outside the block.
uint16_t readWord(const ResourceData& block, size_t offset);
uint32_t readLong(const ResourceData& block, size_t offset);
