#ifndef TARN_RESOURCES_DIALOG_IDS_H
#define TARN_RESOURCES_DIALOG_IDS_H

/* Dialog templates and their controls. The help-id table of a dialog is the
   RCDATA resource with the dialog's own id (resource_ids.h). */

/* Options below the common save dialog (child template, no caption). */
#define DLG_SAVE_OPTIONS                10
#define IDC_SAVE_TEXT_FOLLOW_INTERNAL   101 /* check box 101 + i is option bit i */
#define IDC_SAVE_TEXT_FOLLOW_EXTERNAL   102
#define IDC_SAVE_TEXT_REPLACE_MISSING   103
#define IDC_SAVE_MEDIA_FOLLOW_INTERNAL  104
#define IDC_SAVE_MEDIA_FOLLOW_EXTERNAL  105
#define IDC_SAVE_MEDIA_REPLACE_MISSING  106
#define IDC_SAVE_STANDARD_CONTROLS      1119 /* stc32: where the common dialog puts its own controls */
#define IDC_SAVE_FILE_NAME              1152 /* edt1 of the common dialog */

/* "Extrahieren...": modeless progress window of a save. */
#define DLG_EXTRACT_PROGRESS            15
#define IDC_PROGRESS_ANIMATION          101
#define IDC_PROGRESS_SOURCE             102
#define IDC_PROGRESS_TARGET             103
#define IDC_PROGRESS_BAR                104

/* "Doppelter Dateiname". The radio button ids are the answers of the
   duplicate-name question; "OK für Alle" adds DUPLICATE_FOR_ALL to them. */
#define DLG_DUPLICATE_NAME              20
#define IDC_DUPLICATE_FILE_NAME         101
#define IDC_DUPLICATE_OVERWRITE         17
#define IDC_DUPLICATE_SKIP              18
#define IDC_DUPLICATE_RENAME            19
#define IDC_DUPLICATE_OK_FOR_ALL        128
#define DUPLICATE_FOR_ALL               0x80

/* "Allgemein": the page of the properties sheet. A label's id is its
   field's id + 10. */
#define DLG_PROPERTIES_GENERAL          25
#define IDC_PROP_ICON                   101
#define IDC_PROP_TITLE                  102
#define IDC_PROP_URL                    103
#define IDC_PROP_TYPE                   104
#define IDC_PROP_LOCAL_FILE             105
#define IDC_PROP_SIZE                   106
#define IDC_PROP_MODIFIED               107
#define IDC_PROP_LAST_ACCESS            108
#define IDC_PROP_EXPIRES                109
#define IDC_PROP_URL_LABEL              113
#define IDC_PROP_TYPE_LABEL             114
#define IDC_PROP_LOCAL_FILE_LABEL       115
#define IDC_PROP_SIZE_LABEL             116
#define IDC_PROP_MODIFIED_LABEL         117
#define IDC_PROP_LAST_ACCESS_LABEL      118
#define IDC_PROP_EXPIRES_LABEL          119
#define IDC_PROP_PREVIOUS               201
#define IDC_PROP_NEXT                   202

/* "Suchen" (find in host names, URLs and titles). */
#define DLG_FIND                        35
#define IDC_FIND_TEXT                   101
#define IDC_FIND_IN_HOSTS               102
#define IDC_FIND_IN_URLS                103
#define IDC_FIND_IN_TITLES              104

/* "Dokumentinhalte durchsuchen". */
#define DLG_CONTENT_SEARCH              40
#define IDC_SEARCH_TEXT                 101
#define IDC_SEARCH_WHOLE_CACHE          102
#define IDC_SEARCH_CURRENT_FOLDER       103
#define IDC_SEARCH_SELECTED_DOCUMENTS   104

/* "Einstellungen". */
#define DLG_SETTINGS                    45
#define IDC_SETTINGS_BROWSER            101
#define IDC_SETTINGS_BROWSE_BROWSER     102
#define IDC_SETTINGS_CACHE_DIRECTORY    103
#define IDC_SETTINGS_BROWSE_CACHE       104
#define IDC_SETTINGS_ADJUST_BROWSER     105
#define IDC_SETTINGS_RESTORE_BROWSER    106

/* The about box of "Inf&o". */
#define DLG_ABOUT                       30

#endif
