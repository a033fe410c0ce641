#include "help_recorder.h"

#include <psapi.h>

#include <cstring>

namespace {

// The stub's page: its code, then the count of calls, then a ring of
// records of the four arguments, each as wide as a pointer.
const size_t kPageSize = 4096;
const size_t kCountOffset = 64;
const size_t kRecordsOffset = 128;
const int kRecordCount = 64;
const size_t kRecordSize = 4 * sizeof(uintptr_t);

// How much of a table or text is read at most.
const size_t kLongestTable = 64;
const size_t kLongestText = 260;

bool readRemote(HANDLE process, const void* address, void* out, size_t size) {
    SIZE_T got = 0;
    return ReadProcessMemory(process, address, out, size, &got) && got == size;
}

std::string readRemoteText(HANDLE process, const void* address) {
    std::string text;
    const char* at = static_cast<const char*>(address);
    char c;
    while (at && text.size() < kLongestText && readRemote(process, at++, &c, 1) && c)
        text += c;
    return text;
}

void putBytes(std::vector<unsigned char>& code, uint64_t value, int count) {
    for (int i = 0; i < count; ++i)
        code.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

#ifdef _WIN64
// WinHelpA(window, file, command, data), its arguments in rcx, rdx, r8 and
// r9: records them in the next slot of the ring, counts the call and
// returns TRUE.
std::vector<unsigned char> stubCode(uintptr_t base) {
    std::vector<unsigned char> code = {0x48, 0xB8};  // mov rax, count
    putBytes(code, base + kCountOffset, 8);
    code.insert(code.end(), {0x44, 0x8B, 0x10});              // mov r10d, [rax]
    code.insert(code.end(), {0x41, 0x83, 0xE2, kRecordCount - 1});  // and r10d, 63
    code.insert(code.end(), {0x49, 0xC1, 0xE2, 0x05});        // shl r10, 5
    code.insert(code.end(), {0x49, 0xBB});                    // mov r11, records
    putBytes(code, base + kRecordsOffset, 8);
    code.insert(code.end(), {0x4D, 0x01, 0xD3});              // add r11, r10
    code.insert(code.end(), {0x49, 0x89, 0x0B});              // mov [r11], rcx
    code.insert(code.end(), {0x49, 0x89, 0x53, 0x08});        // mov [r11+8], rdx
    code.insert(code.end(), {0x4D, 0x89, 0x43, 0x10});        // mov [r11+16], r8
    code.insert(code.end(), {0x4D, 0x89, 0x4B, 0x18});        // mov [r11+24], r9
    code.insert(code.end(), {0xFF, 0x00});                    // inc dword [rax]
    code.insert(code.end(), {0xB8, 0x01, 0x00, 0x00, 0x00});  // mov eax, 1
    code.push_back(0xC3);                                     // ret
    return code;
}
#else
// stdcall WinHelpA(window, file, command, data): records the arguments in
// the next slot of the ring, counts the call and returns TRUE.
std::vector<unsigned char> stubCode(uintptr_t base) {
    uint32_t count = static_cast<uint32_t>(base + kCountOffset);
    uint32_t records = static_cast<uint32_t>(base + kRecordsOffset);
    std::vector<unsigned char> code;
    code.push_back(0xA1);  // mov eax, [count]
    putBytes(code, count, 4);
    code.insert(code.end(), {0x83, 0xE0, kRecordCount - 1});  // and eax, 63
    code.insert(code.end(), {0xC1, 0xE0, 0x04});              // shl eax, 4
    code.insert(code.end(), {0x8D, 0x88});                    // lea ecx, [eax + records]
    putBytes(code, records, 4);
    for (unsigned char argument = 0; argument < 4; ++argument) {
        code.insert(code.end(), {0x8B, 0x54, 0x24, static_cast<unsigned char>(4 + 4 * argument)});  // mov edx, [esp+n]
        if (argument == 0)
            code.insert(code.end(), {0x89, 0x11});  // mov [ecx], edx
        else
            code.insert(code.end(), {0x89, 0x51, static_cast<unsigned char>(4 * argument)});  // mov [ecx+n], edx
    }
    code.insert(code.end(), {0xFF, 0x05});  // inc dword [count]
    putBytes(code, count, 4);
    code.insert(code.end(), {0xB8, 0x01, 0x00, 0x00, 0x00});  // mov eax, 1
    code.insert(code.end(), {0xC2, 0x10, 0x00});              // ret 16
    return code;
}
#endif

// The address of the executable's import slot of user32's WinHelpA.
char* findImportSlot(HANDLE process, char* base) {
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS nt;
    if (!readRemote(process, base, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
        !readRemote(process, base + dos.e_lfanew, &nt, sizeof nt) || nt.Signature != IMAGE_NT_SIGNATURE)
        return nullptr;
    DWORD imports = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (IMAGE_IMPORT_DESCRIPTOR module;; imports += sizeof module) {
        if (!imports || !readRemote(process, base + imports, &module, sizeof module) || !module.Name)
            return nullptr;
        if (lstrcmpiA(readRemoteText(process, base + module.Name).c_str(), "user32.dll") != 0)
            continue;
        DWORD names = module.OriginalFirstThunk ? module.OriginalFirstThunk : module.FirstThunk;
        for (DWORD index = 0;; ++index) {
            IMAGE_THUNK_DATA thunk;
            if (!readRemote(process, base + names + sizeof thunk * index, &thunk, sizeof thunk) ||
                !thunk.u1.AddressOfData)
                break;
            if (IMAGE_SNAP_BY_ORDINAL(thunk.u1.Ordinal))
                continue;
            if (readRemoteText(process, base + thunk.u1.AddressOfData + 2) == "WinHelpA")
                return base + module.FirstThunk + sizeof thunk * index;
        }
    }
}

}  // namespace

HelpRecorder::~HelpRecorder() {
    if (process_)
        CloseHandle(process_);
}

bool HelpRecorder::install(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
    HMODULE executable = nullptr;
    DWORD needed = 0;
    if (!process_ || !EnumProcessModules(process_, &executable, sizeof executable, &needed) || !executable)
        return false;
    char* slot = findImportSlot(process_, reinterpret_cast<char*>(executable));
    stub_ = static_cast<char*>(
        VirtualAllocEx(process_, nullptr, kPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    if (!slot || !stub_)
        return false;
    std::vector<unsigned char> code = stubCode(reinterpret_cast<uintptr_t>(stub_));
    std::vector<unsigned char> page(kPageSize, 0);
    std::memcpy(page.data(), code.data(), code.size());
    SIZE_T written = 0;
    if (!WriteProcessMemory(process_, stub_, page.data(), page.size(), &written) || written != page.size())
        return false;
    uintptr_t target = reinterpret_cast<uintptr_t>(stub_);
    DWORD oldProtection = 0;
    if (!VirtualProtectEx(process_, slot, sizeof target, PAGE_READWRITE, &oldProtection))
        return false;
    bool patched = WriteProcessMemory(process_, slot, &target, sizeof target, &written) && written == sizeof target;
    VirtualProtectEx(process_, slot, sizeof target, oldProtection, &oldProtection);
    return patched;
}

int HelpRecorder::callCount() const {
    uint32_t count = 0;
    if (!stub_ || !readRemote(process_, stub_ + kCountOffset, &count, sizeof count))
        return -1;
    return static_cast<int>(count);
}

bool HelpRecorder::waitForCall(int index, HelpCall& call, DWORD timeoutMs) const {
    DWORD start = GetTickCount();
    while (callCount() <= index) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
    uintptr_t record[4];
    if (!readRemote(process_, stub_ + kRecordsOffset + kRecordSize * (index % kRecordCount), record, sizeof record))
        return false;
    call = HelpCall();
    call.window = reinterpret_cast<HWND>(record[0]);
    call.file = readRemoteText(process_, reinterpret_cast<const void*>(record[1]));
    call.command = static_cast<UINT>(record[2]);
    const char* data = reinterpret_cast<const char*>(record[3]);
    if (call.command == HELP_COMMAND) {
        call.text = readRemoteText(process_, data);
    } else if (call.command == HELP_WM_HELP || call.command == HELP_CONTEXTMENU) {
        uint32_t pair[2];
        for (size_t i = 0; i < kLongestTable && readRemote(process_, data + 8 * i, pair, sizeof pair); ++i) {
            if (pair[0] == 0 && pair[1] == 0)
                break;
            call.table.emplace_back(pair[0], pair[1]);
        }
    }
    return true;
}

uint32_t topicOf(const std::vector<std::pair<uint32_t, uint32_t>>& table, int controlId) {
    for (const auto& pair : table)
        if (pair.first == static_cast<uint32_t>(controlId))
            return pair.second;
    return 0;
}
