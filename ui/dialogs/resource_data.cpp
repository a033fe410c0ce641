#include "ui/dialogs/resource_data.h"

#include <windows.h>

ResourceData findResourceData(int id) {
    ResourceData block;
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), RT_RCDATA);
    if (!resource)
        return block;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return block;
    block.data = static_cast<const unsigned char*>(data);
    block.size = SizeofResource(module, resource);
    return block;
}

uint16_t readWord(const ResourceData& block, size_t offset) {
    if (!block.data || offset > block.size || block.size - offset < 2)
        return 0;
    return static_cast<uint16_t>(block.data[offset] | block.data[offset + 1] << 8);
}

uint32_t readLong(const ResourceData& block, size_t offset) {
    if (!block.data || offset > block.size || block.size - offset < 4)
        return 0;
    return static_cast<uint32_t>(readWord(block, offset)) | static_cast<uint32_t>(readWord(block, offset + 2)) << 16;
}
