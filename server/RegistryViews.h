#pragma once
// On 64-bit Windows the 32-bit and the 64-bit module of the extension each
// register their own CLSID key (one per registry view) but share the keys
// Windows keeps once for both views: ProgIDs, AppIDs, the shell's handler
// keys. Unregistering one bitness must leave those to the other.
#include <string>

// Whether the other registry view (the 32-bit one seen from a 64-bit module,
// the 64-bit one from a 32-bit module under WOW64) has an in-process server
// registered for the class, and one that is not this module.
bool OtherViewServes(const std::wstring& clsid, const std::wstring& ownModulePath);
