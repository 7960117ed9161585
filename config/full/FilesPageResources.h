// Resource identifiers of the page for several files or a folder and of the
// checksum file's page (FilesPage.rc). Only #define lines: the resource
// compiler reads this too.
#pragma once

#define IDD_FILES_PAGE 300
#define IDC_FILES_LIST 301
#define IDC_FILES_ALGORITHM 302
#define IDC_FILES_COPY 303
#define IDC_FILES_SAVE 304
#define IDC_FILES_COMPARE_EDIT 305
#define IDC_FILES_COMPARE_RESULT 306
#define IDC_FILES_PROGRESS 307
#define IDC_FILES_STOP 308
#define IDC_FILES_STATUS 309

#define IDS_FILES_FILE 300
#define IDS_FILES_SIZE 301
#define IDS_FILES_LISTING 302
#define IDS_FILES_COUNT 303
#define IDS_FILES_CANNOT_READ 304
#define IDS_FILES_MATCH 305
#define IDS_FILES_NO_MATCH 306
#define IDS_FILES_SAVE_FILTER 307
#define IDS_FILES_SAVE_FAILED 308
#define IDS_FILES_RESUME 309
