// Every configuration of the extension, side by side: what its page has, the
// message its hashing job reports on, how registration installs its shell
// handler and which algorithms its catalogue offers. What else differs is
// data in its folder (config/<name>/: resource identifiers, dialogs, strings,
// language modules); its Features.h names its value here for the code built
// for it. CMake lists the configurations in config/Configurations.cmake.
#pragma once
#include <windows.h>

class HashCatalogue;

namespace features {

// How the compare edit's text is tidied before it is compared.
enum class CompareTidy {
    DigestOnly,  // white space, hyphens and a leading "0x" removed: the bare digest
    TrimOnly,    // white space at both ends removed, nothing else
};

// Which controls the page's UpdateControls enables and shows.
enum class ControlStates {
    CompareAlwaysOpen,  // the compare edit stays enabled while hashing; the progress
                        // controls stay up while the list is empty
    CompareWhileReady,  // the compare edit only when ready; the progress controls
                        // only while busy
};

// Where the title tips of the compare edit live.
enum class TitleTips {
    PerPage,      // a tool tip per host window, the handler subclasses the page
    ProcessWide,  // one tool tip for the process, the handler chained into the
                  // page's message map, other registered message names
};

}  // namespace features

// How registration makes the page's class known to the shell: its handler key
// under HKCR\*\shellex\PropertySheetHandlers named "Tallyra" (the class id its
// default value) together with the two values of the approved-extensions
// list, or named by the class id itself, with no value and no approved list.
enum class ShellHandlerKey { Named, ClassId };

// Fills a catalogue with a configuration's algorithms (config/Algorithms.cpp).
using AlgorithmRegistration = void (*)(HashCatalogue& catalogue);
void RegisterFullAlgorithms(HashCatalogue& catalogue);
void RegisterReducedAlgorithms(HashCatalogue& catalogue);

struct Configuration {
    // A language module named in the settings replaces the built-in
    // resources; the general settings keep the language and the module's name.
    bool languageModule;
    // The page takes dropped files (CDropTargetImpl, registered as a class
    // with script 123 and in the type library).
    bool dropTarget;
    // The page joins the clipboard-viewer chain and takes digests copied anywhere.
    bool clipboardWatching;
    // The page's options link (237) opens the settings dialog.
    bool optionsLink;
    // The list menu has "copy all" (string 121).
    bool copyAll;
    // The list menu is moved onto the nearest monitor's work area.
    bool menuOnMonitor;
    // Several files or a folder get a page of their own (ui/FileListDialog),
    // the handler registered for folders too, and a checksum file a page
    // that checks what it lists (ui/SumFileDialog).
    bool filesPage;
    features::CompareTidy compareTidy;
    features::ControlStates controlStates;
    features::TitleTips titleTips;
    ShellHandlerKey handlerKey;
    // Job to page. The catalogue's job: wParam the percentage (lParam 0), or
    // 0 with lParam the tag of the job that ended. The compact job, sent (not
    // posted): wParam the percentage with lParam 0, or wParam 0 with lParam 1
    // when the run has ended.
    UINT jobMessage;
    // The catalogue's algorithms; none for a page that hashes fixed
    // algorithms itself.
    AlgorithmRegistration registerAlgorithms;
};

namespace configurations {

// Everything: the language modules, dropped files, the clipboard, the options
// link, a four-command menu kept on the monitor, the bare digest compared.
inline constexpr Configuration kFull{
    /* languageModule    */ true,
    /* dropTarget        */ true,
    /* clipboardWatching */ true,
    /* optionsLink       */ true,
    /* copyAll           */ true,
    /* menuOnMonitor     */ true,
    /* filesPage         */ true,
    /* compareTidy       */ features::CompareTidy::DigestOnly,
    /* controlStates     */ features::ControlStates::CompareAlwaysOpen,
    /* titleTips         */ features::TitleTips::PerPage,
    /* handlerKey        */ ShellHandlerKey::Named,
    /* jobMessage        */ WM_APP + 0x65,
    /* registerAlgorithms*/ &RegisterFullAlgorithms,
};

// No language module, no drop target, no clipboard watching, no options link,
// a two-command menu where the cursor is, a compare text trimmed only, the
// compare edit locked while hashing, and one tool tip for the whole process.
inline constexpr Configuration kReduced{
    /* languageModule    */ false,
    /* dropTarget        */ false,
    /* clipboardWatching */ false,
    /* optionsLink       */ false,
    /* copyAll           */ false,
    /* menuOnMonitor     */ false,
    /* filesPage         */ false,
    /* compareTidy       */ features::CompareTidy::TrimOnly,
    /* controlStates     */ features::ControlStates::CompareWhileReady,
    /* titleTips         */ features::TitleTips::ProcessWide,
    /* handlerKey        */ ShellHandlerKey::Named,
    /* jobMessage        */ WM_USER + 0x65,
    /* registerAlgorithms*/ &RegisterReducedAlgorithms,
};

// A page of three fixed digests and nothing of the catalogue's world (no
// settings, language module, drop target, clipboard or menu: its page reads
// none of the switches from clipboardWatching to controlStates); the shared
// title tips; the handler key named by the class id.
inline constexpr Configuration kCompact{
    /* languageModule    */ false,
    /* dropTarget        */ false,
    /* clipboardWatching */ false,
    /* optionsLink       */ false,
    /* copyAll           */ false,
    /* menuOnMonitor     */ false,
    /* filesPage         */ false,
    /* compareTidy       */ features::CompareTidy::TrimOnly,
    /* controlStates     */ features::ControlStates::CompareWhileReady,
    /* titleTips         */ features::TitleTips::ProcessWide,
    /* handlerKey        */ ShellHandlerKey::ClassId,
    /* jobMessage        */ WM_USER + 0x65,
    /* registerAlgorithms*/ nullptr,
};

}  // namespace configurations
