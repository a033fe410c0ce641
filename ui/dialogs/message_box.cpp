#include "ui/dialogs/message_box.h"

#include <cstdarg>
#include <cstdlib>

#include "core/owned_text.h"
#include "resources/string_ids.h"

// A message code names its text by number; the resource script names it by
// the string id. The two must be one number.
static_assert(messageStringId(MSG_NO_CACHE_DIRECTORY) == STR_MSG_NO_CACHE_DIRECTORY);
static_assert(messageStringId(MSG_INVALID_CACHE_DIRECTORY) == STR_MSG_BAD_CACHE_DIRECTORY);
static_assert(messageStringId(MSG_INVALID_PROGRAM) == STR_MSG_BAD_PROGRAM_FILE);
static_assert(messageStringId(MSG_BROWSER_NOT_STARTED) == STR_MSG_BROWSER_NOT_STARTED);
static_assert(messageStringId(MSG_NO_DDE_CONNECTION) == STR_MSG_NO_DDE_CONNECTION);
static_assert(messageStringId(MSG_SET_VERIFY_BY_HAND) == STR_MSG_SET_VERIFY_BY_HAND);
static_assert(messageStringId(MSG_OFFER_VERIFY_CHANGE) == STR_MSG_OFFER_VERIFY_NEVER);
static_assert(messageStringId(MSG_FIND_FINISHED) == STR_MSG_FIND_FINISHED);
static_assert(messageStringId(MSG_NOTHING_FOUND) == STR_MSG_NOTHING_FOUND);
static_assert(messageStringId(MSG_COPY_FAILED) == STR_MSG_COPY_FAILED);
static_assert(messageStringId(MSG_SCHEME_NOT_OPENED) == STR_MSG_SCHEME_NOT_OPENED);
static_assert(messageStringId(MSG_URL_NOT_OPENED) == STR_MSG_URL_NOT_OPENED);
static_assert(messageStringId(MSG_HELP_FILE_MISSING) == STR_MSG_HELP_FILE_MISSING);
static_assert(messageStringId(MSG_TARGET_FOLDER_UNUSABLE) == STR_MSG_TARGET_FOLDER_UNUSABLE);

namespace {

const UINT kPreloadedIds[] = {
    STR_OUT_OF_MEMORY_CAPTION, STR_OUT_OF_MEMORY_TEXT, STR_APP_NAME,     STR_CACHE_ROOT,
    STR_RESULTS_ROOT,          STR_CONTENT_OF,         STR_OBJECT_COUNT, STR_SELECTED_COUNT,
    STR_UNKNOWN,               STR_SIZE_KB,            STR_SIZE_BYTES,   STR_SIZE_KB_AND_BYTES,
    STR_SIZE_MB_AND_BYTES,
};
const int kPreloadedCount = sizeof kPreloadedIds / sizeof kPreloadedIds[0];

char* preloaded[kPreloadedCount];

// wvsprintfA never writes more than 1024 characters and takes no buffer
// size, so the formatted text gets a buffer of that size: a long argument
// (a folder name from the index, say) then cannot run past it.
const int kFormattedSize = 1025;

}  // namespace

bool loadPreloadedStrings() {
    bool all = true;
    for (int i = 0; i < kPreloadedCount; ++i) {
        if (!preloaded[i])
            preloaded[i] = loadStringCopy(kPreloadedIds[i]);
        all = all && preloaded[i];
    }
    return all;
}

const char* preloadedString(UINT id) {
    for (int i = 0; i < kPreloadedCount; ++i)
        if (kPreloadedIds[i] == id)
            return preloaded[i] ? preloaded[i] : "";
    return "";
}

char* loadStringCopy(UINT id) {
    char text[260];
    if (LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text) <= 0)
        text[0] = '\0';
    return duplicateText(text);
}

int showMessageCode(HWND owner, MessageCode code, ...) {
    if (code == MSG_OUT_OF_MEMORY) {
        showOutOfMemory();
        return -1;
    }
    char pattern[256];
    if (LoadStringA(GetModuleHandleA(nullptr), messageStringId(code), pattern, sizeof pattern) <= 0)
        pattern[0] = '\0';
    char text[kFormattedSize];
    va_list arguments;
    va_start(arguments, code);
    wvsprintfA(text, pattern, arguments);
    va_end(arguments);
    return MessageBoxA(owner, text, preloadedString(STR_APP_NAME), messageStyle(code));
}

void showOutOfMemory() {
    // A start that ran out of memory before the texts were at hand loads
    // them here, onto the stack.
    char caption[64];
    char text[128];
    const char* shownCaption = preloadedString(STR_OUT_OF_MEMORY_CAPTION);
    const char* shownText = preloadedString(STR_OUT_OF_MEMORY_TEXT);
    if (!shownCaption[0] && LoadStringA(GetModuleHandleA(nullptr), STR_OUT_OF_MEMORY_CAPTION, caption, sizeof caption) > 0)
        shownCaption = caption;
    if (!shownText[0] && LoadStringA(GetModuleHandleA(nullptr), STR_OUT_OF_MEMORY_TEXT, text, sizeof text) > 0)
        shownText = text;
    MessageBoxA(nullptr, shownText, shownCaption, MB_SYSTEMMODAL | MB_ICONHAND);
}

void fatalMessageCode(HWND owner, MessageCode code) {
    showMessageCode(owner, code);
    std::exit(-1);
}
