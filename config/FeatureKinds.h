// The kinds of the feature switches that are more than on or off; each
// configuration's Features.h chooses one of each.
#pragma once

namespace features {

// How the compare edit's text is tidied before it is compared.
enum class CompareTidy {
    DigestOnly,  // white space, hyphens and a leading "0x" removed: the bare digest
    TrimOnly,    // white space at both ends removed, nothing else
};

// Which controls the page's UpdateControls enables and shows.
enum class ControlStates {
    CompareAlwaysOpen,     // the compare edit stays enabled while hashing; the progress
                           // controls stay up while the list is empty
    CompareWhileReady,     // the compare edit only when ready; the progress controls
                           // only while busy
};

// Where the title tips of the compare edit live.
enum class TitleTips {
    PerPage,      // a tool tip per host window, the handler subclasses the page
    ProcessWide,  // one tool tip for the process, the handler chained into the
                  // page's message map, other registered message names
};

// How registration installs the property-sheet handler.
enum class HandlerRegistration {
    NamedKey,    // handler key "Tallyra" holding the class id; the class is
                 // also written to the shell's approved-extensions list
    ClassIdKey,  // handler key named by the class id, no value; no approved list
};

}  // namespace features
