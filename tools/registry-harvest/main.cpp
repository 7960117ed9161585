// registry-harvest: what a module's DllRegisterServer writes, for the
// installer's registry table. The registration runs in this process with
// HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE redirected to scratch keys under
// HKEY_CURRENT_USER, which are removed afterwards: nothing of the machine
// changes. Prints one line per value,
//   ROOT <TAB> KEY <TAB> NAME <TAB> TEXT     (ROOT: HKCR or HKLM; NAME empty: the default value)
// and ROOT <TAB> KEY for a key that holds nothing. Only REG_SZ values are
// expected: any other type stops it with exit code 1.
//   registry-harvest MODULE.dll
#include "tools/console/ConsoleText.h"
#include "win/ErrorText.h"
#include "win/RegistryRedirect.h"
#include "win/UniqueHandle.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Harvest {
    std::vector<std::wstring> lines;
    std::vector<std::wstring> unexpected;
};

void Walk(HKEY key, const std::wstring& root, const std::wstring& path, Harvest& harvest)
{
    DWORD values = 0, subkeys = 0;
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                       nullptr);
    if (values == 0 && subkeys == 0 && !path.empty())
        harvest.lines.push_back(root + L"\t" + path);
    for (DWORD index = 0; index < values; ++index) {
        wchar_t name[16384];
        DWORD nameLength = 16384, type = 0, size = 0;
        if (::RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            continue;
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        nameLength = 16384;
        ::RegEnumValueW(key, index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
        text.resize(size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0')
            text.pop_back();
        if (type != REG_SZ)
            harvest.unexpected.push_back(root + L"\\" + path + L" " + name + L": type " + std::to_wstring(type));
        else
            harvest.lines.push_back(root + L"\t" + path + L"\t" + name + L"\t" + text);
    }
    for (DWORD index = 0; index < subkeys; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        win::UniqueKey child;
        if (::RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
            ::RegOpenKeyExW(key, name, 0, KEY_READ, child.put()) == ERROR_SUCCESS)
            Walk(child.get(), root, path.empty() ? name : path + L"\\" + name, harvest);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        WriteText(STD_ERROR_HANDLE, L"usage: registry-harvest MODULE.dll\n");
        return 2;
    }
    const std::wstring scratch = L"Software\\TallyraRegistryHarvest-" + std::to_wstring(::GetCurrentProcessId());
    win::UniqueKey classes, machine;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, (scratch + L"\\HKCR").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      classes.put(), nullptr);
    ::RegCreateKeyExW(HKEY_CURRENT_USER, (scratch + L"\\HKLM").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      machine.put(), nullptr);
    // Loaded before the redirection: what loading it (and the system DLLs it
    // needs) writes is not its registration.
    win::UniqueModule module(::LoadLibraryW(argv[1]));
    auto registerServer = module ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
                                       reinterpret_cast<void*>(::GetProcAddress(module.get(), "DllRegisterServer")))
                                 : nullptr;
    HRESULT hr = registerServer ? E_FAIL : HRESULT_FROM_WIN32(::GetLastError());
    if (registerServer && classes && machine) {
        win::PredefinedKeyRedirect classesRedirect(HKEY_CLASSES_ROOT, classes.get());
        win::PredefinedKeyRedirect machineRedirect(HKEY_LOCAL_MACHINE, machine.get());
        if (classesRedirect.Active() && machineRedirect.Active())
            hr = registerServer();
    }
    Harvest harvest;
    if (SUCCEEDED(hr)) {
        Walk(classes.get(), L"HKCR", L"", harvest);
        Walk(machine.get(), L"HKLM", L"", harvest);
    }
    classes.reset();
    machine.reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, scratch.c_str());
    if (FAILED(hr)) {
        WriteText(STD_ERROR_HANDLE, L"registry-harvest: the registration failed: " +
                                        SystemErrorText(static_cast<DWORD>(hr)) + L"\n");
        return 1;
    }
    for (const std::wstring& line : harvest.unexpected)
        WriteText(STD_ERROR_HANDLE, L"registry-harvest: not a string value: " + line + L"\n");
    std::sort(harvest.lines.begin(), harvest.lines.end());
    std::wstring out;
    for (const std::wstring& line : harvest.lines)
        out += line + L"\n";
    WriteText(STD_OUTPUT_HANDLE, out);
    return harvest.unexpected.empty() ? 0 : 1;
}
