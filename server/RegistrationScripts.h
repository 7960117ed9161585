#pragma once
// What registration writes: the AppID script and one script per served class.
#include "config/Configurations.h"
#include "server/Registrar.h"

extern const wchar_t kAppId[];  // "{0A3C1C8E-...}"

// "{8A56567E-...}": the registry's form of a GUID.
std::wstring GuidText(REFGUID guid);

// 101: the AppID keys, and with a named handler key the shell's
// approved-extensions entries.
registry::Script AppIdScript(ShellHandlerKey handlerKey = ShellHandlerKey::Named);
// Whether the page's handler is also registered for folders ("Directory"),
// for a configuration whose handler has a page for folders.
enum class FolderHandler { No, Yes };

// 102 and 123: a class's ProgIDs and CLSID key, and for the page the
// property-sheet handler for all file types (and folders).
registry::Script HashPageScript(const std::wstring& modulePath, ShellHandlerKey handlerKey = ShellHandlerKey::Named,
                                FolderHandler folders = FolderHandler::No);
registry::Script DropTargetScript(const std::wstring& modulePath);
