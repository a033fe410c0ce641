#include "remote_memory.h"

RemoteMemory::RemoteMemory(HANDLE process, size_t size) : process_(process), size_(size) {
    address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteMemory::~RemoteMemory() {
    if (address_)
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteMemory::write(const void* data, size_t size, size_t offset) {
    if (!address_ || offset > size_ || size > size_ - offset)
        return false;
    SIZE_T written = 0;
    return WriteProcessMemory(process_, at(offset), data, size, &written) && written == size;
}

bool RemoteMemory::read(void* data, size_t size, size_t offset) const {
    if (!address_ || offset > size_ || size > size_ - offset)
        return false;
    SIZE_T got = 0;
    return ReadProcessMemory(process_, at(offset), data, size, &got) && got == size;
}
