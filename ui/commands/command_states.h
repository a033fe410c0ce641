// Which commands are enabled, checked or mixed, decided in one place from a
// snapshot of the window's state; menus and toolbar only apply the result.
#pragma once

#include <cstdint>

#include "model/background_run.h"
#include "ui/frame/list_stats.h"

// Toolbar state words: TBSTATE_CHECKED, TBSTATE_ENABLED, TBSTATE_INDETERMINATE.
constexpr uint8_t kStateChecked = 0x1;
constexpr uint8_t kStateEnabled = 0x4;
constexpr uint8_t kStateMixed = 0x10;

struct CommandState {
    int command;
    uint8_t state;
};

constexpr int kObjectCommandCount = 15;
constexpr int kViewCommandCount = 10;

struct ObjectCommandStates {
    CommandState pairs[kObjectCommandCount];
    uint8_t stateOf(int command) const;
};

struct ViewCommandStates {
    CommandState pairs[kViewCommandCount];
    uint8_t stateOf(int command) const;
};

// The object of the tree node the commands apply to.
enum FolderKind : int32_t { FOLDER_NONE, FOLDER_ROOT, FOLDER_HOST, FOLDER_RESULTS };

struct StateSnapshot {
    ListStats list;
    RunKind threadKind = RUN_NONE;
    bool listHasFocus = false;
    FolderKind folder = FOLDER_NONE;
    bool folderHideable = false;
    bool folderHidden = false;
    int32_t folderCount = 0;
    bool hasPreviousFolder = false;
    bool hasNextFolder = false;
};

ObjectCommandStates computeObjectStates(const StateSnapshot& snapshot);
ViewCommandStates computeViewStates(uint32_t optionFlags);
