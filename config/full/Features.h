// What the full configuration has, switch by switch: the code asks
// features::k..., the type library source TALLYRA_DROP_TARGET. The reduced
// configuration's header has the same switches with its own values.
#pragma once

#define TALLYRA_DROP_TARGET 1
// A page of its own for several files or a folder (ui/FileListDialog), its
// handler registered for folders too.
#define TALLYRA_FILES_PAGE 1

#ifdef __cplusplus
#include "config/FeatureKinds.h"

namespace features {

// A language module named in the settings replaces the built-in resources;
// the general settings keep the language and the module's name.
inline constexpr bool kLanguageModule = true;
// The page takes dropped files (CDropTargetImpl, registered as a class with
// script 123 and in the type library).
inline constexpr bool kDropTarget = TALLYRA_DROP_TARGET != 0;
inline constexpr bool kFilesPage = TALLYRA_FILES_PAGE != 0;
// The page joins the clipboard-viewer chain and takes digests copied anywhere.
inline constexpr bool kClipboardWatching = true;
// The page's options link (237) opens the settings dialog.
inline constexpr bool kOptionsLink = true;
// The list menu has "copy all" (string 121).
inline constexpr bool kCopyAll = true;
// The list menu is moved onto the nearest monitor's work area.
inline constexpr bool kMenuOnMonitor = true;
inline constexpr CompareTidy kCompareTidy = CompareTidy::DigestOnly;
inline constexpr ControlStates kControlStates = ControlStates::CompareAlwaysOpen;
inline constexpr HandlerRegistration kHandlerRegistration = HandlerRegistration::NamedKey;
inline constexpr TitleTips kTitleTips = TitleTips::PerPage;

}  // namespace features
#endif
