#ifndef TARN_RESOURCES_RESOURCE_IDS_H
#define TARN_RESOURCES_RESOURCE_IDS_H

/* Menus, accelerators, pictures and data tables of the executable. */

/* Menu 1 holds the five popups of the menu bar followed by the three context
   menus, which the main frame detaches from position 5 one after another. */
#define MENU_MAIN                    1
#define MENU_BAR_POPUP_COUNT         5
#define MENU_CONTEXT_POPUP_COUNT     3

#define ACCEL_MAIN                   1

#define ICON_PROGRAM                 1
#define ICON_MARK_HIDDEN             2 /* state image 1 of the list */
#define ICON_MARK_DELETED            3 /* state image 2 of the list */
#define ICON_CACHE_ROOT              4
#define ICON_RESULTS_ROOT            5
#define ICON_FOLDER_CLOSED           6
#define ICON_FOLDER_OPEN             7
#define ICON_HIDDEN_OVERLAY          8

#define CURSOR_SPLITTER              1

/* Toolbar strip: TOOLBAR_IMAGE_COUNT images of 16 by 16 side by side. */
#define BITMAP_TOOLBAR               1
#define TOOLBAR_IMAGE_COUNT          17
#define TBIMG_OPEN                   0
#define TBIMG_SAVE                   1
#define TBIMG_HIDE                   2
#define TBIMG_DELETE                 3
#define TBIMG_PROPERTIES             4
#define TBIMG_COPY                   5
#define TBIMG_VIEW_LIST              6
#define TBIMG_VIEW_DETAILS           7
#define TBIMG_TEXT_ONLY              8
#define TBIMG_WEB_ONLY               9
#define TBIMG_SHOW_ALL               10
#define TBIMG_PREVIOUS_FOLDER        11
#define TBIMG_NEXT_FOLDER            12
#define TBIMG_RELOAD                 13
#define TBIMG_FIND                   14
#define TBIMG_FIND_NEXT              15
#define TBIMG_CONTENT_SEARCH         16

/* Sort arrows of the list header: ascending at x 0, descending at x 8. */
#define BITMAP_SORT_ARROWS           2
#define SORT_ARROW_SIZE              8

/* Clip of the "Extrahieren..." window, resource type "AVI". */
#define AVI_EXTRACT                  1

/* RCDATA 1, the menu-help table: records of a 32-bit key and a 16-bit string
   id, ended by string id 0. Popup menus have key 0 until the main frame puts
   their handles in; commands have MENU_HELP_COMMAND_BASE | id. */
#define RCDATA_MENU_HELP             1
#define MENU_HELP_RECORD_SIZE        6
#define MENU_HELP_COMMAND_BASE       0xFFFF0000UL

/* RCDATA 2, the toolbar buttons: records of four 16-bit values (image,
   command, style, tooltip string id), ended by an image of 0xFFFF. */
#define RCDATA_TOOLBAR               2
#define TOOLBAR_RECORD_SIZE          8
#define TOOLBAR_TABLE_END            0xFFFF

/* RCDATA 3, the text of "missing.htm" as one zero-terminated block; the file
   is written without the zero. */
#define RCDATA_MISSING_PAGE          3

/* Help-id tables, one per dialog and under the dialog's id: pairs of 32-bit
   (control id, help topic), ended by (0, 0). */
#define RCDATA_HELP_SAVE_OPTIONS     10
#define RCDATA_HELP_PROPERTIES       25
#define RCDATA_HELP_FIND             35
#define RCDATA_HELP_CONTENT_SEARCH   40
#define RCDATA_HELP_SETTINGS         45

#endif
