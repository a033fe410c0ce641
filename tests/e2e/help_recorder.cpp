#include "help_recorder.h"

#include <psapi.h>

#include <cstring>

namespace {

// The stub's page: its code, then the count of calls, then a ring of
// records of the four arguments.
const size_t kPageSize = 4096;
const size_t kCountOffset = 64;
const size_t kRecordsOffset = 128;
const int kRecordCount = 64;
const size_t kRecordSize = 16;

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

void putLong(std::vector<unsigned char>& code, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        code.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// stdcall WinHelpA(window, file, command, data): records the arguments in
// the next slot of the ring, counts the call and returns TRUE.
std::vector<unsigned char> stubCode(uint32_t base) {
    uint32_t count = base + kCountOffset;
    uint32_t records = base + kRecordsOffset;
    std::vector<unsigned char> code;
    code.push_back(0xA1);  // mov eax, [count]
    putLong(code, count);
    code.insert(code.end(), {0x83, 0xE0, kRecordCount - 1});  // and eax, 63
    code.insert(code.end(), {0xC1, 0xE0, 0x04});              // shl eax, 4
    code.insert(code.end(), {0x8D, 0x88});                    // lea ecx, [eax + records]
    putLong(code, records);
    for (unsigned char argument = 0; argument < 4; ++argument) {
        code.insert(code.end(), {0x8B, 0x54, 0x24, static_cast<unsigned char>(4 + 4 * argument)});  // mov edx, [esp+n]
        if (argument == 0)
            code.insert(code.end(), {0x89, 0x11});  // mov [ecx], edx
        else
            code.insert(code.end(), {0x89, 0x51, static_cast<unsigned char>(4 * argument)});  // mov [ecx+n], edx
    }
    code.insert(code.end(), {0xFF, 0x05});  // inc dword [count]
    putLong(code, count);
    code.insert(code.end(), {0xB8, 0x01, 0x00, 0x00, 0x00});  // mov eax, 1
    code.insert(code.end(), {0xC2, 0x10, 0x00});              // ret 16
    return code;
}

// The address of the executable's import slot of user32's WinHelpA.
char* findImportSlot(HANDLE process, char* base) {
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS32 nt;
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
            IMAGE_THUNK_DATA32 thunk;
            if (!readRemote(process, base + names + 4 * index, &thunk, sizeof thunk) || !thunk.u1.AddressOfData)
                break;
            if (IMAGE_SNAP_BY_ORDINAL32(thunk.u1.Ordinal))
                continue;
            if (readRemoteText(process, base + thunk.u1.AddressOfData + 2) == "WinHelpA")
                return base + module.FirstThunk + 4 * index;
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
    std::vector<unsigned char> code = stubCode(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(stub_)));
    std::vector<unsigned char> page(kPageSize, 0);
    std::memcpy(page.data(), code.data(), code.size());
    SIZE_T written = 0;
    if (!WriteProcessMemory(process_, stub_, page.data(), page.size(), &written) || written != page.size())
        return false;
    uint32_t target = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(stub_));
    DWORD oldProtection = 0;
    if (!VirtualProtectEx(process_, slot, 4, PAGE_READWRITE, &oldProtection))
        return false;
    bool patched = WriteProcessMemory(process_, slot, &target, 4, &written) && written == 4;
    VirtualProtectEx(process_, slot, 4, oldProtection, &oldProtection);
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
    uint32_t record[4];
    if (!readRemote(process_, stub_ + kRecordsOffset + kRecordSize * (index % kRecordCount), record, sizeof record))
        return false;
    call = HelpCall();
    call.window = reinterpret_cast<HWND>(static_cast<uintptr_t>(record[0]));
    call.file = readRemoteText(process_, reinterpret_cast<const void*>(static_cast<uintptr_t>(record[1])));
    call.command = record[2];
    const char* data = reinterpret_cast<const char*>(static_cast<uintptr_t>(record[3]));
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
