// Resource identifiers of the reduced configuration: dialog templates, their
// controls, strings and images. Included by the .rc files (so: only
// #define lines, which the resource compiler understands), the C++ code and
// the tests. The algorithms' descriptions: engine/DescriptionIds.h.
#pragma once

// Dialog templates.
#define IDD_HASH_PAGE 103
#define IDD_SETTINGS 207

// Controls of the hash page (IDD_HASH_PAGE).
#define IDC_PROGRESS 210
#define IDC_STOP 212
#define IDC_PROGRESS_FRAME 216
#define IDC_HASH_LIST 217
#define IDC_COMPARE_EDIT 218
#define IDC_COMPARE_FILE 219
#define IDC_RESULT_ICON 220
#define IDC_ALGORITHM_LABEL 231

// Controls of the settings dialog (IDD_SETTINGS); IDOK and IDCANCEL save and cancel.
#define IDC_ALGORITHM_LIST 227
#define IDC_SELECT_ALL 228
#define IDC_CLEAR_ALL 229
#define IDC_RESELECT 230
#define IDC_LOWERCASE 234

// Strings of the page. 100 to 103 and 105 are in the table, unused.
#define IDS_PRODUCT_NAME 100
#define IDS_HASHES_MATCH 101
#define IDS_HASHES_DIFFER 102
#define IDS_COMPARE_HASHES 103
#define IDS_STOP 104
#define IDS_STOPPED 105
#define IDS_VERIFY 106
#define IDS_ALGORITHM 107
#define IDS_HASH_VALUE 108
#define IDS_COPY 109
#define IDS_OPTIONS 110

// Named by the page code that this configuration shares with the full one;
// the template has no options link and the table no "copy all" string
// (features::kOptionsLink and kCopyAll are false).
#define IDC_OPTIONS_LINK 237
#define IDS_COPY_ALL 121
// Its settings dialog has no language choice (features::kLanguageModule is false).
#define IDC_LANGUAGE 235

// Images: the result icons (question, cross, check), 32 x 32 each.
#define IDB_RESULT_ICONS 205
