// Resource identifiers of the compact configuration: its page template, the
// page's controls and its strings. Included by the .rc files (only #define
// lines), the C++ code and the tests.
#pragma once

#define IDD_HASH_PAGE 103

// Controls of the page: per algorithm a digest edit, a compare edit and a
// "Compare..." button in a group box; the progress bar and the cancel button.
#define IDC_MD5_DIGEST 201
#define IDC_SHA1_DIGEST 202
#define IDC_CRC32_DIGEST 203
#define IDC_MD5_COMPARE 204
#define IDC_MD5_COMPARE_BUTTON 205
#define IDC_SHA1_COMPARE 206
#define IDC_SHA1_COMPARE_BUTTON 207
#define IDC_CRC32_COMPARE 208
#define IDC_CRC32_COMPARE_BUTTON 209
#define IDC_PROGRESS 210
#define IDC_STOP 212
#define IDC_MD5_FRAME 213
#define IDC_SHA1_FRAME 214
#define IDC_CRC32_FRAME 215
#define IDC_PROGRESS_FRAME 216

// Strings (English 1033 and Chinese 2052).
#define IDS_HASHES_MATCH 101
#define IDS_HASHES_DIFFER 102
#define IDS_COMPARE_HASHES 103
#define IDS_STOP 104
#define IDS_STOPPED 105
#define IDS_VERIFY 106
// Shown in the three digest edits when the file could not be opened or read.
#define IDS_CANNOT_READ 107
