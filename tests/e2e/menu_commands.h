// The menu commands the end-to-end tests send, by the program's fixed
// numbers: the tests hold their own copy, so that a number changed in the
// program shows as a failing test.
#pragma once

constexpr int kDescriptionBars = 1303;
constexpr int kListView = 1305;
constexpr int kDetails = 1306;
constexpr int kTextOnly = 1307;
constexpr int kShowAll = 1309;
constexpr int kAlphabetical = 1310;
constexpr int kHierarchical = 1311;
constexpr int kNamesAsSorted = 1312;
constexpr int kSortBySize = 1317;
constexpr int kPreviousFolder = 1993;
constexpr int kNextFolder = 1994;
