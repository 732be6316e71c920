/*
 * Resource ids of DARVEX: strings, menu commands, private commands,
 * dialogs, controls, bitmaps and help contexts.
 *
 * Read both by the resource compiler and by the C++ code, so this file holds
 * nothing but #define lines and comments. The menu, the accelerator table,
 * the icon and the window class are all named "DARVEX" (string 11); that name
 * is deliberately not a macro here, since the resource scripts use it as a
 * bare resource name.
 */
#ifndef DARVEX_RESOURCE_IDS_H
#define DARVEX_RESOURCE_IDS_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

/* ---- Resident texts ---------------------------------------------------- */

#define IDS_APP_NAME                 11  /* class, menu, accelerators, icon; help and .EXE base name */
#define IDS_APP_TITLE                12  /* main window title; the file path is appended */
#define IDS_OPEN_TITLE               13
#define IDS_SAVE_AS_TITLE            14
#define IDS_ERROR_CAPTION            15
#define IDS_CONFIRM_CAPTION          16

/* Event type names, by type code: 1 Error, 2 Warning, 4 Information. */
#define IDS_TYPE_ERROR               21
#define IDS_TYPE_WARNING             22
#define IDS_TYPE_INFORMATION         23
#define IDS_ALL                      24  /* slot 0 of the component and module lists */

/* Column titles of the header and of the printed list. */
#define IDS_COLUMN_DATE              30
#define IDS_COLUMN_TIME              31
#define IDS_COLUMN_COMPONENT         32
#define IDS_COLUMN_MODULE            33
#define IDS_COLUMN_COMPUTER          34
#define IDS_COLUMN_TYPE              35
#define IDS_COLUMN_CATEGORY          36  /* in the table, never loaded */
#define IDS_COLUMN_EVENT_ID          37  /* in the table, never loaded */

/* Printing formats (wsprintf). */
#define IDS_PRINT_LIST_HEADER        40
#define IDS_PRINT_LIST_ROW           41
#define IDS_PRINT_EVENT_STAMP        42  /* date line and time line: label, value */
#define IDS_PRINT_EVENT_COMPONENT    43
#define IDS_PRINT_EVENT_MODULE       44
#define IDS_PRINT_EVENT_COMPUTER     45
#define IDS_PRINT_EVENT_TYPE         46
#define IDS_PRINT_EVENT_DESCRIPTION  47
#define IDS_PRINT_EVENT_DATA         48

/* Status bar texts. */
#define IDS_FILE_UNOPENED            50
#define IDS_TOTAL_EVENTS             51  /* the count follows directly */
#define IDS_WRITE_PROHIBIT           52
#define IDS_FILTER                   53

/* ---- Menu commands (each also the id of its menu help line) ----------- */

#define IDM_FILE_OPEN                100
#define IDM_FILE_SAVE_AS             101
#define IDM_FILE_CLEAR_ALL           102
#define IDM_FILE_LOG_SETTINGS        103
#define IDM_FILE_PRINT               104
#define IDM_FILE_PRINT_SETUP         105
#define IDM_FILE_EXIT                106

#define IDM_VIEW_ALL_EVENTS          110  /* also the view mode "all events" */
#define IDM_VIEW_FILTER              111  /* also the view mode "filtered" */
#define IDM_VIEW_NEWEST_FIRST        112  /* 112 to 114 double as the sort order */
#define IDM_VIEW_OLDEST_FIRST        113
#define IDM_VIEW_MODULE              114
#define IDM_VIEW_FIND                115
#define IDM_VIEW_DETAIL              116
#define IDM_VIEW_REFRESH             117

#define IDM_OPTION_SAVE_SETTINGS     120
#define IDM_OPTION_FONT              121

#define IDM_HELP_ABOUT               130
#define IDM_HELP_CONTENTS            131
#define IDM_HELP_SEARCH              132
#define IDM_HELP_HOW_TO_USE          133

/* Position of the View popup in the menu bar; it is also the list's context menu. */
#define MENU_POS_VIEW                1

/* ---- Private commands of the main window ------------------------------- */

#define IDM_APPLY_FILTER             1124
#define IDM_CONFIRM_CLEAR            1125  /* follow-up of Save As before Clear All Events */
#define IDM_CONFIRM_LOG_SETTINGS     1126  /* follow-up of Save As before Log Settings */
#define IDM_FIND_NEXT                1127  /* F3 */
#define IDM_REPAINT_LIST             1128  /* posted by every dialog when it closes */
#define IDM_TOGGLE_TIME_ORDER_ALT    4093
#define IDM_TOGGLE_TIME_ORDER        4094  /* header click on Date or Time */

/* ---- Panes of the main window ------------------------------------------ */

#define IDC_COLUMN_HEADER            4087
#define IDC_STATUS_BAR               4088
#define IDC_EVENT_LIST               4095

/* ---- Help contexts ------------------------------------------------------ */

#define IDH_LOG_SETTINGS             901
#define IDH_FILTER                   902
#define IDH_FIND                     903
#define IDH_EVENT_DETAIL             904

/* ---- Messages ----------------------------------------------------------- */

/* Error boxes. */
#define IDS_ERR_MODULE_NAME          201
#define IDS_ERR_RESOURCE             202
#define IDS_ERR_REGISTER_CLASS       203
#define IDS_ERR_INIT_INSTANCE        204
#define IDS_ERR_FILE_NOT_OPENED      205  /* in the table, never shown */
#define IDS_ERR_ACCESS_DENIED        206
#define IDS_ERR_OPEN_LOG             207
#define IDS_ERR_READ_LOG             208
#define IDS_ERR_NO_MEMORY            209
#define IDS_ERR_LOAD_DLL             210
#define IDS_ERR_WRITE_LOG            211
#define IDS_ERR_PRINTING_STOPS       212
#define IDS_ERR_NO_PRINT_DATA        213  /* in the table, never shown */
#define IDS_ERR_LOG_CORRUPTED        214
#define IDS_ERR_MAX_LOG_SIZE         215
#define IDS_ERR_DATE_TIME            216
#define IDS_ERR_DELETE_EVENTS        217
#define IDS_ERR_SAVE_CONDITIONS      218
#define IDS_ERR_SAVE_MAX_LOG_SIZE    219
#define IDS_ERR_PATH_TOO_LONG        220
#define IDS_ERR_SEARCH_AT_END        221
#define IDS_ERR_SEARCH_AT_BEGINNING  222
#define IDS_ERR_FROM_AFTER_THROUGH   223
#define IDS_ERR_DETAIL_MEMORY        224
#define IDS_ERR_REGISTRY_OPEN        225  /* in the table, never shown */
#define IDS_ERR_REGISTRY_READ        226  /* in the table, never shown */

/* Questions: OK/Cancel, except 256 and 258 (Yes/No/Cancel). */
#define IDS_ASK_FILE_EXISTS          251
#define IDS_ASK_DETAIL_FROM_TOP      252  /* Next passed the last row */
#define IDS_ASK_DETAIL_FROM_END      253  /* Previous passed the first row */
#define IDS_ASK_FIND_FROM_TOP        254
#define IDS_ASK_FIND_FROM_END        255
#define IDS_ASK_SAVE_BEFORE_CLEAR    256
#define IDS_ASK_CLEAR_ALL            257
#define IDS_ASK_SAVE_BEFORE_RESIZE   258
#define IDS_ASK_CHANGE_MAX_SIZE      259

/* ---- Dialog templates --------------------------------------------------- */

#define IDD_LOG_SETTINGS             200
#define IDD_FILTER                   300
#define IDD_FIND                     400
#define IDD_EVENT_DETAIL             500
#define IDD_PRINT_PROGRESS           600
#define IDD_ABOUT                    2000

/* Log Settings (200). Cancel is IDCANCEL. */
#define IDC_LOGSET_SIZE_LABEL        202
#define IDC_LOGSET_UNIT_LABEL        203
#define IDC_LOGSET_OK                205
#define IDC_LOGSET_DEFAULT           206
#define IDC_LOGSET_HELP              207
#define IDC_LOGSET_SIZE              208  /* kilobytes, RICHEDIT */
#define IDC_LOGSET_SPIN              209  /* vertical scroll bar used as up/down arrows */

/* Filter (300). Cancel is IDCANCEL. */
#define IDC_FILTER_FROM_DATE_SEP1    301  /* read-only separators between the two-digit fields */
#define IDC_FILTER_FROM_DATE_SEP2    302
#define IDC_FILTER_FROM_TIME_SEP1    303
#define IDC_FILTER_FROM_TIME_SEP2    304
#define IDC_FILTER_THROUGH_DATE_SEP1 305
#define IDC_FILTER_THROUGH_DATE_SEP2 306
#define IDC_FILTER_THROUGH_TIME_SEP1 307
#define IDC_FILTER_THROUGH_TIME_SEP2 308
#define IDC_FILTER_COMPONENT_LABEL   309
#define IDC_FILTER_MODULE_LABEL      310
#define IDC_FILTER_FROM_GROUP        321
#define IDC_FILTER_THROUGH_GROUP     322
#define IDC_FILTER_TYPE_GROUP        323
#define IDC_FILTER_INFORMATION       331
#define IDC_FILTER_WARNING           332
#define IDC_FILTER_ERROR             333
#define IDC_FILTER_FROM_FIRST        334
#define IDC_FILTER_FROM_STAMP        335
#define IDC_FILTER_THROUGH_LAST      336
#define IDC_FILTER_THROUGH_STAMP     337
#define IDC_FILTER_OK                341
#define IDC_FILTER_CLEAR             343
#define IDC_FILTER_HELP              344
#define IDC_FILTER_FROM_DATE_SPIN    345
#define IDC_FILTER_FROM_TIME_SPIN    346
#define IDC_FILTER_THROUGH_DATE_SPIN 347
#define IDC_FILTER_THROUGH_TIME_SPIN 348
#define IDC_FILTER_COMPONENT         351
#define IDC_FILTER_MODULE            352
#define IDC_FILTER_FROM_YEAR         353  /* 353 to 358: yy mm dd hh mm ss of the start */
#define IDC_FILTER_FROM_MONTH        354
#define IDC_FILTER_FROM_DAY          355
#define IDC_FILTER_FROM_HOUR         356
#define IDC_FILTER_FROM_MINUTE       357
#define IDC_FILTER_FROM_SECOND       358
#define IDC_FILTER_THROUGH_YEAR      359  /* 359 to 364: the same for the end */
#define IDC_FILTER_THROUGH_MONTH     360
#define IDC_FILTER_THROUGH_DAY       361
#define IDC_FILTER_THROUGH_HOUR      362
#define IDC_FILTER_THROUGH_MINUTE    363
#define IDC_FILTER_THROUGH_SECOND    364

/* Find (400). Cancel is IDCANCEL. */
#define IDC_FIND_COMPONENT_LABEL     401
#define IDC_FIND_MODULE_LABEL        402
#define IDC_FIND_DESCRIPTION_LABEL   403
#define IDC_FIND_DESCRIPTION         404  /* RICHEDIT */
#define IDC_FIND_TYPE_GROUP          411
#define IDC_FIND_DIRECTION_GROUP     412
#define IDC_FIND_INFORMATION         421
#define IDC_FIND_WARNING             422
#define IDC_FIND_ERROR               423
#define IDC_FIND_UP                  424  /* also the stored direction value */
#define IDC_FIND_DOWN                425
#define IDC_FIND_NEXT                431
#define IDC_FIND_CLEAR               433
#define IDC_FIND_HELP                434
#define IDC_FIND_COMPONENT           441
#define IDC_FIND_MODULE              442

/* Event Detail (500). Close is IDCANCEL. */
#define IDC_DETAIL_DATE_LABEL        501
#define IDC_DETAIL_TIME_LABEL        502
#define IDC_DETAIL_COMPUTER_LABEL    503
#define IDC_DETAIL_COMPONENT_LABEL   504
#define IDC_DETAIL_MODULE_LABEL      505
#define IDC_DETAIL_TYPE_LABEL        506
#define IDC_DETAIL_DESCRIPTION_LABEL 507
#define IDC_DETAIL_DATA_LABEL        508
#define IDC_DETAIL_DATA              509  /* RICHEDIT */
#define IDC_DETAIL_DESCRIPTION       510  /* RICHEDIT */
#define IDC_DETAIL_DATE              511
#define IDC_DETAIL_TIME              512
#define IDC_DETAIL_COMPUTER          513
#define IDC_DETAIL_COMPONENT         514
#define IDC_DETAIL_MODULE            515
#define IDC_DETAIL_TYPE              516
#define IDC_DETAIL_BYTE              521
#define IDC_DETAIL_WORD              522
#define IDC_DETAIL_PREVIOUS          534
#define IDC_DETAIL_NEXT              535
#define IDC_DETAIL_HELP              536
#define IDC_DETAIL_PRINT             537

/* Print progress (600). */
#define IDC_PRINT_CANCEL             1    /* id 1, so Enter cancels as well */
#define IDC_PRINT_DOCUMENT_LABEL     100
#define IDC_PRINT_DEVICE_LABEL       102
#define IDC_PRINT_PORT_LABEL         104
#define IDC_PRINT_DOCUMENT           601
#define IDC_PRINT_DEVICE             602
#define IDC_PRINT_PORT               603

/* About (2000). OK is IDOK. */
#define IDC_ABOUT_LEGAL_COPYRIGHT    400
#define IDC_ABOUT_PRODUCT_NAME       401
#define IDC_ABOUT_PRODUCT_VERSION    402
#define IDC_ABOUT_FILE_DESCRIPTION   403
#define IDC_ABOUT_FILE_VERSION       404

/* ---- Bitmaps of the event types (23 x 23, 16 colours) ------------------ */

#define IDB_INFO_NORMAL              700
#define IDB_INFO_SELECTED            701
#define IDB_WARNING_NORMAL           702
#define IDB_WARNING_SELECTED         703
#define IDB_ERROR_NORMAL             704
#define IDB_ERROR_SELECTED           705
#define IDB_ICON_MASK                706  /* ANDed in before a normal-row icon */

#endif /* DARVEX_RESOURCE_IDS_H */
