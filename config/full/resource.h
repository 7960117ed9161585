// Resource identifiers of the full configuration: dialog templates, their
// controls, strings and images. Included by the .rc files (so: only
// #define lines, which the resource compiler understands), the C++ code and
// the tests.
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
#define IDC_OPTIONS_LINK 237

// Controls of the settings dialog (IDD_SETTINGS); IDOK and IDCANCEL save and cancel.
#define IDC_ALGORITHM_LIST 227
#define IDC_SELECT_ALL 228
#define IDC_CLEAR_ALL 229
#define IDC_RESELECT 230
#define IDC_LOWERCASE 234
// The user-interface language: the built-in one or a language module beside the extension.
#define IDC_LANGUAGE 235

// Strings of the page.
#define IDS_STOP 104
#define IDS_VERIFY 106
#define IDS_ALGORITHM 107
#define IDS_HASH_VALUE 108
#define IDS_COPY 109
#define IDS_OPTIONS 110
#define IDS_COPY_ALL 121

// The descriptions of the algorithms (111 to 124, 136 to 138): engine/DescriptionIds.h.

// Images: the result icons (question, cross, check), 32 x 32 each.
#define IDB_RESULT_ICONS 205
