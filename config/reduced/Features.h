// What the reduced configuration has, switch by switch (the meanings are in
// config/full/Features.h): no language module, no drop target, no clipboard
// watching, no options link, a two-command menu where the cursor is, a
// compare text trimmed only, the compare edit locked while hashing, and one
// tool tip for the whole process.
#pragma once

#define TALLYRA_DROP_TARGET 0
// A page of its own for several files or a folder (ui/FileListDialog), its
// handler registered for folders too.
#define TALLYRA_FILES_PAGE 0

#ifdef __cplusplus
#include "config/FeatureKinds.h"

namespace features {

inline constexpr bool kLanguageModule = false;
inline constexpr bool kDropTarget = TALLYRA_DROP_TARGET != 0;
inline constexpr bool kFilesPage = TALLYRA_FILES_PAGE != 0;
inline constexpr bool kClipboardWatching = false;
inline constexpr bool kOptionsLink = false;
inline constexpr bool kCopyAll = false;
inline constexpr bool kMenuOnMonitor = false;
inline constexpr CompareTidy kCompareTidy = CompareTidy::TrimOnly;
inline constexpr ControlStates kControlStates = ControlStates::CompareWhileReady;
inline constexpr HandlerRegistration kHandlerRegistration = HandlerRegistration::NamedKey;
inline constexpr TitleTips kTitleTips = TitleTips::ProcessWide;

}  // namespace features
#endif
