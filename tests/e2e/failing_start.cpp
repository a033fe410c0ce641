// The entry of tarnview_failing.exe, the program built with the failing
// allocator: the linker sends the start here (--wrap=WinMain), which arms
// the allocator from the environment and then starts the program as usual.
//
// TARN_FAIL_ALLOCATION=N makes the N-th allocation of the program's own
// code fail (0: none, only counted). When it has failed, the event named
// by TARN_FAILED_EVENT is set, so that the test knows the fault was met.
// The addresses of the code whose allocation failed are written, when it
// failed, to the file named by TARN_FAILED_CALLER (for addr2line).
#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "support/failing_allocator.h"

extern "C" int WINAPI __real_WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

namespace {

HANDLE failedEvent;
char callerFile[MAX_PATH];

// The failing code's address, then the words of the stack above that
// point into the program's code: most are return addresses, enough to
// tell the way that led to the allocation.
void writeCallers() {
    uintptr_t base = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
    const IMAGE_NT_HEADERS* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    uintptr_t end = base + headers->OptionalHeader.SizeOfImage;
    uintptr_t words[24];
    int count = 0;
    words[count++] = reinterpret_cast<uintptr_t>(failing_allocator::failedCaller());
    const volatile uintptr_t* stack =
        reinterpret_cast<const volatile uintptr_t*>(reinterpret_cast<uintptr_t>(__builtin_frame_address(0)));
    for (int i = 0; i < 2048 && count < 24; ++i) {
        MEMORY_BASIC_INFORMATION memory;
        if (VirtualQuery(const_cast<const uintptr_t*>(stack + i), &memory, sizeof memory) == 0 || memory.State != MEM_COMMIT)
            break;
        if (stack[i] > base + 0x1000 && stack[i] < end)
            words[count++] = stack[i];
    }
    HANDLE file = CreateFileA(callerFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    for (int i = 0; i < count; ++i) {
        char text[24];
        int size = 0;
        text[size++] = '0';
        text[size++] = 'x';
        for (int shift = static_cast<int>(sizeof(uintptr_t)) * 8 - 4; shift >= 0; shift -= 4)
            text[size++] = "0123456789abcdef"[(words[i] >> shift) & 15];
        text[size++] = '\n';
        DWORD written;
        WriteFile(file, text, static_cast<DWORD>(size), &written, nullptr);
    }
    CloseHandle(file);
}

void signalFailure() {
    if (callerFile[0])
        writeCallers();
    if (failedEvent)
        SetEvent(failedEvent);
}

long environmentNumber(const char* name) {
    char text[32];
    DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    return length > 0 && length < sizeof text ? std::strtol(text, nullptr, 10) : 0;
}

}  // namespace

extern "C" int WINAPI __wrap_WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    char eventName[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TARN_FAILED_EVENT", eventName, sizeof eventName);
    if (length > 0 && length < sizeof eventName)
        failedEvent = OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName);
    length = GetEnvironmentVariableA("TARN_FAILED_CALLER", callerFile, sizeof callerFile);
    if (length >= sizeof callerFile)
        callerFile[0] = '\0';
    failing_allocator::onFailure(signalFailure);
    failing_allocator::arm(environmentNumber("TARN_FAIL_ALLOCATION"));
    return __real_WinMain(instance, previous, commandLine, show);
}
