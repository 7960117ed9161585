// The values of the configuration that the code is built for (kConfiguration,
// chosen by its folder's Features.h, which includes this after choosing) by
// the short names the code uses.
#pragma once

namespace features {

inline constexpr bool kLanguageModule = kConfiguration.languageModule;
inline constexpr bool kDropTarget = kConfiguration.dropTarget;
inline constexpr bool kClipboardWatching = kConfiguration.clipboardWatching;
inline constexpr bool kOptionsLink = kConfiguration.optionsLink;
inline constexpr bool kCopyAll = kConfiguration.copyAll;
inline constexpr bool kMenuOnMonitor = kConfiguration.menuOnMonitor;
inline constexpr bool kFilesPage = kConfiguration.filesPage;
inline constexpr CompareTidy kCompareTidy = kConfiguration.compareTidy;
inline constexpr ControlStates kControlStates = kConfiguration.controlStates;
inline constexpr TitleTips kTitleTips = kConfiguration.titleTips;

}  // namespace features

// The job's report message (see Configuration::jobMessage).
constexpr UINT WM_HASHDATA_NOTIFY = kConfiguration.jobMessage;
