#ifndef TARN_RESOURCES_STRING_IDS_H
#define TARN_RESOURCES_STRING_IDS_H

/* Ids of the string table. The program's message codes carry these numbers in
   their low word, so the numbers themselves are part of the contract. */

#define STR_APP_NAME                 1
#define STR_CACHE_ROOT               3
#define STR_RESULTS_ROOT             4
#define STR_ALL_FOLDERS              5
#define STR_CONTENT_OF               6   /* format: folder name */
#define STR_OBJECT_COUNT             7   /* format: count */
#define STR_SELECTED_COUNT           8   /* format: count */
#define STR_UNKNOWN                  9
#define STR_SIZE_KB                  10  /* format: number */
#define STR_SIZE_BYTES               11  /* format: number */
#define STR_SIZE_KB_AND_BYTES        12  /* format: number, number */
#define STR_SIZE_MB_AND_BYTES        13  /* format: number, number */

/* List column headers, in column order. */
#define STR_COLUMN_TITLE             16
#define STR_COLUMN_TYPE              17
#define STR_COLUMN_URL               18
#define STR_COLUMN_FILE              19
#define STR_COLUMN_SIZE              20
#define STR_COLUMN_LAST_ACCESS       21

/* File dialog filters: "#" stands for the NUL between description and
   pattern, because a string table entry cannot hold a NUL. */
#define STR_MULTIPLE_FILES           32
#define STR_FILTER_ALL_FILES         33
#define STR_FILTER_HTML              34
#define STR_FILTER_TEXT              35
#define STR_FILTER_OF_TYPE           36  /* format: EXT, ext, ext */
#define STR_FILTER_PROGRAMS          37
#define STR_FILTER_CACHE_DATABASE    38

/* Status bar help of the popup menus. */
#define STR_HELP_SYSTEM_MENU         48
#define STR_HELP_FILE_MENU           49
#define STR_HELP_EDIT_MENU           50
#define STR_HELP_VIEW_MENU           51
#define STR_HELP_EXTRAS_MENU         52
#define STR_HELP_HELP_MENU           53
#define STR_HELP_SORT_DOMAINS_MENU   54
#define STR_HELP_SORT_DOCUMENTS_MENU 55

/* Status bar help of the system menu's commands. */
#define STR_HELP_SC_RESTORE          56
#define STR_HELP_SC_MOVE             57
#define STR_HELP_SC_SIZE             58
#define STR_HELP_SC_MINIMIZE         59
#define STR_HELP_SC_MAXIMIZE         60
#define STR_HELP_SC_TASKLIST         61

/* Status bar help of the commands; SC_CLOSE shares the text of CMD_EXIT. */
#define STR_HELP_OPEN                62
#define STR_HELP_SAVE_AS             63
#define STR_HELP_HIDE                64
#define STR_HELP_UNHIDE              65
#define STR_HELP_DELETE              66
#define STR_HELP_PROPERTIES          67
#define STR_HELP_EXIT                68
#define STR_HELP_COPY_URL            69
#define STR_HELP_FIND                70
#define STR_HELP_FIND_NEXT           71
#define STR_HELP_SELECT_ALL          72
#define STR_HELP_INVERT_SELECTION    73
#define STR_HELP_TOOLBAR             74
#define STR_HELP_STATUS_BAR          75
#define STR_HELP_DESCRIPTION_BARS    76
#define STR_HELP_LIST_TIPS           77
#define STR_HELP_VIEW_LIST           78
#define STR_HELP_VIEW_DETAILS        79
#define STR_HELP_TEXT_ONLY           80
#define STR_HELP_WEB_ONLY            81
#define STR_HELP_SHOW_ALL            82
#define STR_HELP_SORT_BY_TITLE       83
#define STR_HELP_SORT_BY_TYPE        84
#define STR_HELP_SORT_BY_URL         85
#define STR_HELP_SORT_BY_FILE        86
#define STR_HELP_SORT_DOMAINS_ALPHABETICAL 87
#define STR_HELP_SORT_DOMAINS_HIERARCHICAL 88
#define STR_HELP_DOMAIN_NAMES_AS_SORTED    89
#define STR_HELP_SORT_BY_SIZE        90
#define STR_HELP_SORT_BY_DATE        91
#define STR_HELP_RELOAD              92
#define STR_HELP_CONTENT_SEARCH      93
#define STR_HELP_CLEAR_RESULTS       94
#define STR_HELP_GO_TO_DOMAIN        95
#define STR_HELP_UNHIDE_ALL          96
#define STR_HELP_SETTINGS            97
#define STR_HELP_HELP_TOPICS         98
#define STR_HELP_ABOUT               99
#define STR_HELP_PREVIOUS_FOLDER     100
#define STR_HELP_NEXT_FOLDER         101
#define STR_HELP_TOGGLE_HIDDEN       102

/* Toolbar tooltips; each button keeps its id as application data. */
#define STR_TIP_OPEN                 128
#define STR_TIP_SAVE_AS              129
#define STR_TIP_TOGGLE_HIDDEN        130
#define STR_TIP_DELETE               131
#define STR_TIP_PROPERTIES           132
#define STR_TIP_COPY_URL             133
#define STR_TIP_VIEW_LIST            134
#define STR_TIP_VIEW_DETAILS         135
#define STR_TIP_TEXT_ONLY            136
#define STR_TIP_WEB_ONLY             137
#define STR_TIP_SHOW_ALL             138
#define STR_TIP_PREVIOUS_FOLDER      139
#define STR_TIP_NEXT_FOLDER          140
#define STR_TIP_RELOAD               141
#define STR_TIP_FIND                 142
#define STR_TIP_FIND_NEXT            143
#define STR_TIP_CONTENT_SEARCH       144

/* The out-of-memory box: caption and text, loaded at start. */
#define STR_OUT_OF_MEMORY_CAPTION    160
#define STR_OUT_OF_MEMORY_TEXT       161

/* Message box texts. */
#define STR_MSG_NO_CACHE_DIRECTORY   176
#define STR_MSG_BAD_CACHE_DIRECTORY  177
#define STR_MSG_BAD_PROGRAM_FILE     178
#define STR_MSG_BROWSER_NOT_STARTED  179
#define STR_MSG_NO_DDE_CONNECTION    180
#define STR_MSG_SET_VERIFY_BY_HAND   182
#define STR_MSG_OFFER_VERIFY_NEVER   183
#define STR_MSG_FIND_FINISHED        184
#define STR_MSG_NOTHING_FOUND        185
#define STR_MSG_COPY_FAILED          186
#define STR_MSG_SCHEME_NOT_OPENED    187
#define STR_MSG_URL_NOT_OPENED       188
#define STR_MSG_HELP_FILE_MISSING    189
#define STR_MSG_TARGET_FOLDER_UNUSABLE 190

#endif
