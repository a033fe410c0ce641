#include "menu_probe.h"

#include <tlhelp32.h>

#include <cstring>
#include <string>

#include "remote_memory.h"
#include "support/wine_path.h"

namespace {

const DWORD kProbeTimeoutMs = 10000;
const char kLibraryName[] = "menu_probe.dll";

std::string libraryPath() {
    return winePath(std::string(TARN_BINARY_DIR) + "/tests/e2e/" + kLibraryName);
}

// Where the module `name` lies in `processId`; Wine usually loads kernel32
// at the same address everywhere, but need not.
uintptr_t remoteModuleBase(DWORD processId, const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    uintptr_t base = 0;
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module))
        if (lstrcmpiA(module.szModule, name) == 0)
            base = reinterpret_cast<uintptr_t>(module.modBaseAddr);
    CloseHandle(snapshot);
    return base;
}

// Runs `procedure(parameter)` in the process and returns its exit code, or
// 0 when it could not run or did not end in time.
DWORD runRemote(HANDLE process, uintptr_t procedure, void* parameter) {
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(procedure),
                                       parameter, 0, nullptr);
    if (!thread)
        return 0;
    DWORD code = 0;
    if (WaitForSingleObject(thread, kProbeTimeoutMs) != WAIT_OBJECT_0 || !GetExitCodeThread(thread, &code))
        code = 0;
    CloseHandle(thread);
    return code;
}

}  // namespace

ProbeLibrary::~ProbeLibrary() {
    if (hook_)
        UnhookWindowsHookEx(hook_);
}

// The library is loaded into the program for good: a hook's library that
// only the hook loads is loaded and freed again around every call, and its
// notes would go with it.
bool ProbeLibrary::load() {
    if (remoteModule_)
        return true;
    std::string path = libraryPath();
    local_ = LoadLibraryA(path.c_str());
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    uintptr_t kernelBase = remoteModuleBase(processId_, "kernel32.dll");
    if (!local_ || !kernel || !kernelBase)
        return false;
    uintptr_t loadLibrary = reinterpret_cast<uintptr_t>(GetProcAddress(kernel, "LoadLibraryA")) -
                            reinterpret_cast<uintptr_t>(kernel) + kernelBase;
    RemoteMemory name(process_, path.size() + 1);
    if (!name.write(path.c_str(), path.size() + 1))
        return false;
    // The thread's exit code holds only the low half of a 64-bit module
    // handle: the module is looked up once it is loaded.
    if (!runRemote(process_, loadLibrary, name.address()))
        return false;
    remoteModule_ = remoteModuleBase(processId_, kLibraryName);
    return remoteModule_ != 0;
}

bool ProbeLibrary::readMenu(HWND window, HMENU menu, const std::vector<int>& ids, MenuProbeRequest& out) {
    if (ids.size() > 64 || !load())
        return false;
    FARPROC procedure = GetProcAddress(local_, "readMenuStates");
    if (!procedure)
        return false;
    uintptr_t offset = reinterpret_cast<uintptr_t>(procedure) - reinterpret_cast<uintptr_t>(local_);
    std::memset(&out, 0, sizeof out);
    out.window = window;
    out.menu = menu;
    out.count = static_cast<int32_t>(ids.size());
    for (size_t i = 0; i < ids.size(); ++i)
        out.ids[i] = ids[i];
    RemoteMemory request(process_, sizeof out);
    return request.write(&out, sizeof out) && runRemote(process_, remoteModule_ + offset, request.address()) &&
           request.read(&out, sizeof out);
}

bool ProbeLibrary::watch(DWORD threadId) {
    if (hook_)
        return true;
    if (!load())
        return false;
    // Through the function type that stands for any other.
    HOOKPROC procedure =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(GetProcAddress(local_, "watchMessages")));
    if (!procedure)
        return false;
    // Set from here, the hook runs in the program, in the library loaded
    // there; it stays while this thread does.
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, procedure, local_, threadId);
    return hook_ != nullptr;
}

bool ProbeLibrary::readNotes(ProgramNotes& out) const {
    FARPROC notes = local_ ? GetProcAddress(local_, "programNotes") : nullptr;
    if (!hook_ || !notes)
        return false;
    uintptr_t offset = reinterpret_cast<uintptr_t>(notes) - reinterpret_cast<uintptr_t>(local_);
    SIZE_T got = 0;
    return ReadProcessMemory(process_, reinterpret_cast<const void*>(remoteModule_ + offset), &out, sizeof out, &got) &&
           got == sizeof out;
}
