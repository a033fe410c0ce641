// Memory inside the process under test, for the control messages that carry
// pointers (LVM_GETITEMTEXT, TVM_GETITEM, SB_GETTEXT): Windows does not copy
// their structures across processes, so they must live in the target.
#pragma once

#include <windows.h>

#include <cstddef>

class RemoteMemory {
public:
    RemoteMemory(HANDLE process, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool valid() const { return address_ != nullptr; }
    void* address() const { return address_; }
    // The remote address of the byte at `offset`.
    char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }

    bool write(const void* data, size_t size, size_t offset = 0);
    bool read(void* data, size_t size, size_t offset = 0) const;

private:
    HANDLE process_;
    void* address_ = nullptr;
    size_t size_;
};
