// The commands the end-to-end tests send, by the program's fixed numbers:
// the tests hold their own copy, so that a number changed in the program
// shows as a failing test.
#pragma once

constexpr int kOpen = 1101;
constexpr int kHide = 1103;
constexpr int kUnhide = 1104;
constexpr int kDelete = 1105;
constexpr int kCopyUrl = 1201;
constexpr int kFind = 1202;
constexpr int kInvertSelection = 1205;
constexpr int kToolbar = 1301;
constexpr int kStatusBar = 1302;
constexpr int kDescriptionBars = 1303;
constexpr int kListTips = 1304;
constexpr int kListView = 1305;
constexpr int kDetails = 1306;
constexpr int kTextOnly = 1307;
constexpr int kWebOnly = 1308;
constexpr int kShowAll = 1309;
constexpr int kAlphabetical = 1310;
constexpr int kHierarchical = 1311;
constexpr int kNamesAsSorted = 1312;
constexpr int kSortByTitle = 1313;
constexpr int kSortBySize = 1317;
constexpr int kSortByDate = 1318;
constexpr int kReload = 1319;
constexpr int kContentSearch = 1401;
constexpr int kClearResults = 1402;
constexpr int kGoToDomain = 1403;
constexpr int kUnhideAll = 1404;
constexpr int kSettings = 1405;
constexpr int kAbout = 1502;
constexpr int kSwitchPane = 1991;
constexpr int kPreviousFolder = 1993;
constexpr int kNextFolder = 1994;
constexpr int kToggleHidden = 1995;

// Toolbar button states (TB_GETSTATE): checked, enabled, mixed.
constexpr int kChecked = 0x1;
constexpr int kEnabled = 0x4;
constexpr int kMixed = 0x10;
