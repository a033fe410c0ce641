// Owners of Win32 handles: one small type per kind of handle, each with the
// right empty value and close call. Not copyable; movable; release() hands a
// handle to whoever takes it over (the clipboard, a window).
#pragma once

#include <windows.h>
#include <commctrl.h>

template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Handle get() const { return handle_; }
    bool valid() const { return handle_ != Traits::empty(); }
    explicit operator bool() const { return valid(); }

    Handle release() {
        Handle handle = handle_;
        handle_ = Traits::empty();
        return handle;
    }
    void reset(Handle handle = Traits::empty()) {
        if (handle_ != Traits::empty())
            Traits::close(handle_);
        handle_ = handle;
    }
    // For calls that return a handle through a pointer.
    Handle* receive() {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::empty();
};

// CreateFile reports failure with INVALID_HANDLE_VALUE, not with null.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle empty() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { CloseHandle(h); }
};

// Threads, events and other kernel objects report failure with null.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle empty() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { FindClose(h); }
};

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { RegCloseKey(h); }
};

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { DeleteObject(h); }
};

struct MenuTraits {
    using Handle = HMENU;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { DestroyMenu(h); }
};

struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { ImageList_Destroy(h); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { DestroyIcon(h); }
};

struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { GlobalFree(h); }
};

using FileHandle = UniqueHandle<FileHandleTraits>;
using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegKey = UniqueHandle<RegKeyTraits>;
using GdiObject = UniqueHandle<GdiObjectTraits>;
using MenuHandle = UniqueHandle<MenuTraits>;
using ImageListHandle = UniqueHandle<ImageListTraits>;
using IconHandle = UniqueHandle<IconTraits>;
using GlobalMemory = UniqueHandle<GlobalMemoryTraits>;

// The device context of a window (null: the screen), released with its owner.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context compatible with another one, deleted with its owner.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// An object selected into a device context for the lifetime of a scope; the
// object it replaced is selected again at the end. A null object selects
// nothing.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_)
            SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Holds a critical section for the lifetime of a scope.
class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
    ~CriticalSectionLock() { LeaveCriticalSection(&section_); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CRITICAL_SECTION& section_;
};
