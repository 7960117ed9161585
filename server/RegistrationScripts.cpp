#include "RegistrationScripts.h"

#include "ui/typelib/TallyraLib.h"

#include <objbase.h>

using registry::NamedValue;
using registry::Removal;
using registry::Script;
using registry::ScriptKey;

const wchar_t kAppId[] = L"{0A3C1C8E-5829-4CFD-B1CC-475DB010B883}";

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40] = {};
    return ::StringFromGUID2(guid, text, 40) > 0 ? std::wstring(text) : std::wstring();
}

namespace {

// Not a class of this module: the shell's approved list names it all the same.
const wchar_t kContextMenuClsid[] = L"{B1883831-F0D8-4453-8245-EEAAD866DD6E}";

ScriptKey Key(std::wstring name, std::optional<std::wstring> defaultText = std::nullopt,
              std::vector<ScriptKey> children = {}, Removal removal = Removal::Remove)
{
    ScriptKey key;
    key.name = std::move(name);
    key.defaultText = std::move(defaultText);
    key.children = std::move(children);
    key.removal = removal;
    return key;
}

ScriptKey Kept(std::wstring name, std::vector<ScriptKey> children = {})
{
    return Key(std::move(name), std::nullopt, std::move(children), Removal::NoRemove);
}

ScriptKey SharedByBothViews(ScriptKey key)
{
    key.sharedByBothViews = true;
    return key;
}

// The keys every served class registers under HKCR, for class "Name":
// Tallyra.Name.1, Tallyra.Name and CLSID\{clsid}.
std::vector<ScriptKey> ClassKeys(const std::wstring& className, const std::wstring& clsid,
                                 const std::wstring& modulePath)
{
    const std::wstring description = className + L" Class";
    const std::wstring progId = L"Tallyra." + className + L".1";
    const std::wstring independentProgId = L"Tallyra." + className;

    ScriptKey inproc = Key(L"InprocServer32", modulePath);
    inproc.values.push_back(NamedValue{L"ThreadingModel", L"Apartment"});

    ScriptKey clsidKey = Key(clsid, description,
                             {Key(L"ProgID", progId), Key(L"VersionIndependentProgID", independentProgId),
                              Key(L"Programmable", std::nullopt, {}, Removal::ForceRemove), inproc,
                              Key(L"TypeLib", GuidText(LIBID_TallyraLib))},
                             Removal::ForceRemove);
    clsidKey.values.push_back(NamedValue{L"AppID", kAppId});

    return {SharedByBothViews(Key(progId, description, {Key(L"CLSID", clsid)})),
            SharedByBothViews(Key(independentProgId, description, {Key(L"CLSID", clsid), Key(L"CurVer", progId)})),
            Kept(L"CLSID", {clsidKey})};
}

}  // namespace

Script AppIdScript(ShellHandlerKey handlerKey)
{
    ScriptKey dll = Key(L"Tallyra.DLL");
    dll.values.push_back(NamedValue{L"AppID", kAppId});
    Script script{
        {HKEY_CLASSES_ROOT, {SharedByBothViews(Kept(L"AppID", {Key(kAppId, std::wstring(L"Tallyra")), dll}))}}};
    if (handlerKey == ShellHandlerKey::ClassId)
        return script;
    ScriptKey approved = Kept(L"Approved");
    approved.values = {NamedValue{kContextMenuClsid, L"Tallyra Context Menu"},
                       NamedValue{GuidText(CLSID_HashPage), L"Tallyra Property Page"}};
    script.push_back({HKEY_LOCAL_MACHINE,
                      {Kept(L"Software",
                            {Kept(L"Microsoft", {Kept(L"Windows", {Kept(L"CurrentVersion",
                                                                        {Kept(L"Shell Extensions", {approved})})})})})}});
    return script;
}

Script HashPageScript(const std::wstring& modulePath, ShellHandlerKey handlerKey, FolderHandler folders)
{
    const std::wstring clsid = GuidText(CLSID_HashPage);
    std::vector<ScriptKey> keys = ClassKeys(L"HashPage", clsid, modulePath);
    ScriptKey handler = handlerKey == ShellHandlerKey::Named ? Key(L"Tallyra", clsid) : Key(clsid);
    keys.push_back(SharedByBothViews(Kept(L"*", {Kept(L"shellex", {Kept(L"PropertySheetHandlers", {handler})})})));
    if (folders == FolderHandler::Yes)
        keys.push_back(
            SharedByBothViews(Kept(L"Directory", {Kept(L"shellex", {Kept(L"PropertySheetHandlers", {handler})})})));
    return {{HKEY_CLASSES_ROOT, std::move(keys)}};
}

Script DropTargetScript(const std::wstring& modulePath)
{
    return {{HKEY_CLASSES_ROOT, ClassKeys(L"DropTargetImpl", GuidText(CLSID_DropTargetImpl), modulePath)}};
}
