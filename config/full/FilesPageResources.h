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

// The checksum file's page.
#define IDD_SUMS_PAGE 310
#define IDC_SUMS_COUNTS 311
#define IDC_SUMS_LIST 312
#define IDC_SUMS_PROGRESS 313
#define IDC_SUMS_STOP 314

#define IDS_SUMS_ALGORITHM 310
#define IDS_SUMS_RESULT 311
#define IDS_SUMS_COUNTS 312
// The results, in SumCheckResult's order from Matches.
#define IDS_SUMS_MATCHES 313
#define IDS_SUMS_DOES_NOT_MATCH 314
#define IDS_SUMS_MISSING 315
#define IDS_SUMS_UNREADABLE 316
#define IDS_SUMS_NOT_UNDERSTOOD 317
