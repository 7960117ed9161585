#pragma once
// Registration scripts as data: trees of keys with their values and removal
// rules, run for registration or unregistration with the registrar's rules:
// - a NoRemove key is created when missing and never deleted;
// - a ForceRemove key is deleted with its whole subtree before it is written;
// - at unregistration every other key is deleted after its own children in
//   the script, but only when no subkey is left in it (values do not keep it);
// - named values are written at registration and deleted at unregistration;
// - a key shared by the 32-bit and 64-bit registry views (Windows keeps one
//   copy of HKCR's ProgIDs, AppIDs and shell keys, but a CLSID key per view)
//   may be left alone at unregistration while the other view's module still
//   serves the class.
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

namespace registry {

enum class Removal { Remove, NoRemove, ForceRemove };

struct NamedValue {
    std::wstring name;
    std::wstring text;  // REG_SZ
};

struct ScriptKey {
    std::wstring name;  // one level; a name with a backslash is refused
    Removal removal = Removal::Remove;
    std::optional<std::wstring> defaultText;
    std::vector<NamedValue> values;
    std::vector<ScriptKey> children;
    bool sharedByBothViews = false;  // with its subtree
};

struct ScriptRoot {
    HKEY root;
    std::vector<ScriptKey> keys;
};

using Script = std::vector<ScriptRoot>;

enum class SharedKeys { Remove, Keep };

HRESULT RunForRegistration(const Script& script);
HRESULT RunForUnregistration(const Script& script, SharedKeys shared = SharedKeys::Remove);

}  // namespace registry
