// What the compact configuration has: a page of three fixed digests and
// nothing of the catalogue's world (no settings, language module, drop
// target or clipboard); the shared title tips; its own registration of the
// shell handler. The switches of the catalogue's page (compare tidy, control
// states, menu) do not apply: its page does not use them.
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
inline constexpr TitleTips kTitleTips = TitleTips::ProcessWide;
inline constexpr HandlerRegistration kHandlerRegistration = HandlerRegistration::ClassIdKey;

}  // namespace features
#endif
