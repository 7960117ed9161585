#include "VersionResource.h"

#include <cwchar>

namespace win {

VersionResource::VersionResource(const std::wstring& file)
{
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0)
        return;
    data.resize(size);
    if (!::GetFileVersionInfoW(file.c_str(), 0, size, data.data()))
        data.clear();
}

const VS_FIXEDFILEINFO* VersionResource::Fixed() const
{
    void* block = nullptr;
    UINT length = 0;
    if (data.empty() || !::VerQueryValueW(data.data(), L"\\", &block, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return nullptr;
    return static_cast<const VS_FIXEDFILEINFO*>(block);
}

const VersionResource::Translation* VersionResource::FirstTranslation() const
{
    void* block = nullptr;
    UINT length = 0;
    if (data.empty() || !::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &block, &length) ||
        length < sizeof(Translation))
        return nullptr;
    return static_cast<const Translation*>(block);
}

std::optional<LANGID> VersionResource::Language() const
{
    const Translation* translation = FirstTranslation();
    if (!translation)
        return std::nullopt;
    return translation->language;
}

std::optional<std::wstring> VersionResource::String(const wchar_t* name) const
{
    const Translation* translation = FirstTranslation();
    if (!translation)
        return std::nullopt;
    wchar_t path[96];
    std::swprintf(path, 96, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->codePage, name);
    void* block = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(data.data(), path, &block, &length) || length == 0)
        return std::nullopt;
    return std::wstring(static_cast<const wchar_t*>(block));
}

}  // namespace win
