#ifndef TARN_RESOURCES_COMMAND_IDS_H
#define TARN_RESOURCES_COMMAND_IDS_H

/* Command ids of the menus, accelerators and toolbar buttons. They arrive as
   WM_COMMAND at the main window; the thousands group the commands by menu. */

/* "&Datei" */
#define CMD_OPEN                      1101
#define CMD_SAVE_AS                   1102
#define CMD_HIDE                      1103
#define CMD_UNHIDE                    1104
#define CMD_DELETE                    1105
#define CMD_PROPERTIES                1106
#define CMD_EXIT                      1199

/* "&Bearbeiten" */
#define CMD_COPY_URL                  1201
#define CMD_FIND                      1202
#define CMD_FIND_NEXT                 1203
#define CMD_SELECT_ALL                1204
#define CMD_INVERT_SELECTION          1205

/* "&Ansicht" */
#define CMD_TOOLBAR                   1301
#define CMD_STATUS_BAR                1302
#define CMD_DESCRIPTION_BARS          1303
#define CMD_LIST_TIPS                 1304
#define CMD_VIEW_LIST                 1305
#define CMD_VIEW_DETAILS              1306
#define CMD_TEXT_ONLY                 1307
#define CMD_WEB_ONLY                  1308
#define CMD_SHOW_ALL                  1309
#define CMD_SORT_DOMAINS_ALPHABETICAL 1310
#define CMD_SORT_DOMAINS_HIERARCHICAL 1311
#define CMD_DOMAIN_NAMES_AS_SORTED    1312
#define CMD_SORT_BY_TITLE             1313
#define CMD_SORT_BY_TYPE              1314
#define CMD_SORT_BY_URL               1315
#define CMD_SORT_BY_FILE              1316
#define CMD_SORT_BY_SIZE              1317
#define CMD_SORT_BY_DATE              1318
#define CMD_RELOAD                    1319

/* "&Extras" */
#define CMD_CONTENT_SEARCH            1401
#define CMD_CLEAR_RESULTS             1402
#define CMD_GO_TO_DOMAIN              1403
#define CMD_UNHIDE_ALL                1404
#define CMD_SETTINGS                  1405

/* "&?" */
#define CMD_HELP_TOPICS               1501
#define CMD_ABOUT                     1502

/* Commands without a menu item: keyboard and toolbar only. */
#define CMD_SWITCH_PANE               1991
#define CMD_CONTEXT_MENU              1992
#define CMD_PREVIOUS_FOLDER           1993
#define CMD_NEXT_FOLDER               1994
#define CMD_TOGGLE_HIDDEN             1995

#endif
