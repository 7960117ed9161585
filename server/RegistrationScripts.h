#pragma once
// What registration writes: the AppID script and one script per served class.
#include "server/Registrar.h"

extern const wchar_t kAppId[];  // "{0A3C1C8E-...}"

// 101: the AppID keys and the shell's approved-extensions entries.
registry::Script AppIdScript();
// 102 and 123: a class's ProgIDs and CLSID key, and for the page the
// property-sheet handler for all file types.
registry::Script HashPageScript(const std::wstring& modulePath);
registry::Script DropTargetScript(const std::wstring& modulePath);
