#include "RegistryScripts.h"

using registry::NamedValue;
using registry::Removal;
using registry::Script;
using registry::ScriptKey;

const wchar_t kAppId[] = L"{0A3C1C8E-5829-4CFD-B1CC-475DB010B883}";

namespace {

const wchar_t kHashPageClsid[] = L"{8A56567E-A333-4843-B6E1-C3A262E41D8C}";
const wchar_t kDropTargetClsid[] = L"{E7435935-AAEF-4CE2-AD7C-66D46C192A0F}";
const wchar_t kContextMenuClsid[] = L"{B1883831-F0D8-4453-8245-EEAAD866DD6E}";
const wchar_t kLibId[] = L"{1F9B20F0-0AA5-4EEB-B5ED-FADA0C41D073}";

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
                              Key(L"TypeLib", std::wstring(kLibId))},
                             Removal::ForceRemove);
    clsidKey.values.push_back(NamedValue{L"AppID", kAppId});

    return {Key(progId, description, {Key(L"CLSID", clsid)}),
            Key(independentProgId, description, {Key(L"CLSID", clsid), Key(L"CurVer", progId)}),
            Kept(L"CLSID", {clsidKey})};
}

}  // namespace

Script AppIdScript()
{
    ScriptKey dll = Key(L"Tallyra.DLL");
    dll.values.push_back(NamedValue{L"AppID", kAppId});
    ScriptKey approved = Kept(L"Approved");
    approved.values = {NamedValue{kContextMenuClsid, L"Tallyra Context Menu"},
                       NamedValue{kHashPageClsid, L"Tallyra Property Page"}};
    return {
        {HKEY_CLASSES_ROOT, {Kept(L"AppID", {Key(kAppId, std::wstring(L"Tallyra")), dll})}},
        {HKEY_LOCAL_MACHINE,
         {Kept(L"Software",
               {Kept(L"Microsoft",
                     {Kept(L"Windows", {Kept(L"CurrentVersion", {Kept(L"Shell Extensions", {approved})})})})})}},
    };
}

Script HashPageScript(const std::wstring& modulePath)
{
    std::vector<ScriptKey> keys = ClassKeys(L"HashPage", kHashPageClsid, modulePath);
    keys.push_back(Kept(L"*", {Kept(L"shellex", {Kept(L"PropertySheetHandlers",
                                                     {Key(L"Tallyra", std::wstring(kHashPageClsid))})})}));
    return {{HKEY_CLASSES_ROOT, std::move(keys)}};
}

Script DropTargetScript(const std::wstring& modulePath)
{
    return {{HKEY_CLASSES_ROOT, ClassKeys(L"DropTargetImpl", kDropTargetClsid, modulePath)}};
}
