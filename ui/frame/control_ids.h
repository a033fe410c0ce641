// Child window ids of the main window. Notifications arrive tagged with
// them, and the end-to-end tests find the panes by them.
#pragma once

constexpr int ID_TOOLBAR = 101;
constexpr int ID_STATUS_BAR = 102;
constexpr int ID_LEFT_BAR = 103;
constexpr int ID_RIGHT_BAR = 104;
constexpr int ID_TREE = 105;
constexpr int ID_LIST = 106;
