// The version resources of the binaries we ship, read back as Windows'
// file properties read them: the project's version, its product name and a
// description of each file.
#include "support/ChildProcess.h"
#include "support/Text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <optional>
#include <vector>

namespace {

struct Shipped {
    const wchar_t* path;  // beside the test programs, in bin/
    DWORD fileType;
};

class VersionInfo {
public:
    explicit VersionInfo(const std::wstring& file)
    {
        DWORD handle = 0;
        const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &handle);
        if (size == 0)
            return;
        data.resize(size);
        if (!::GetFileVersionInfoW(file.c_str(), 0, size, data.data()))
            data.clear();
    }

    const VS_FIXEDFILEINFO* Fixed() const
    {
        void* block = nullptr;
        UINT length = 0;
        if (data.empty() || !::VerQueryValueW(data.data(), L"\\", &block, &length) || length < sizeof(VS_FIXEDFILEINFO))
            return nullptr;
        return static_cast<const VS_FIXEDFILEINFO*>(block);
    }

    // A string of the first translation the resource names.
    std::optional<std::wstring> String(const wchar_t* name) const
    {
        struct Translation {
            WORD language, codePage;
        };
        void* block = nullptr;
        UINT length = 0;
        if (data.empty() || !::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &block, &length) ||
            length < sizeof(Translation))
            return std::nullopt;
        const auto* translation = static_cast<const Translation*>(block);
        wchar_t path[64];
        std::swprintf(path, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->codePage, name);
        if (!::VerQueryValueW(data.data(), path, &block, &length) || length == 0)
            return std::nullopt;
        return std::wstring(static_cast<const wchar_t*>(block));
    }

private:
    std::vector<BYTE> data;
};

std::wstring FileName(const std::wstring& path)
{
    return path.substr(path.find_last_of(L'\\') + 1);
}

class ShippedBinary : public ::testing::TestWithParam<Shipped> {};

}  // namespace

TEST_P(ShippedBinary, CarriesTheProjectsVersionAndItsOwnName)
{
    const std::wstring file = BesideThisProgram(GetParam().path);
    const VersionInfo info(file);
    const VS_FIXEDFILEINFO* fixed = info.Fixed();
    ASSERT_NE(fixed, nullptr) << "no version resource in " << Narrow(file);

    unsigned major = 0, minor = 0, patch = 0;
    ASSERT_EQ(std::swscanf(TALLYRA_VERSION, L"%u.%u.%u", &major, &minor, &patch), 3);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(minor, major));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, patch));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, GetParam().fileType);

    EXPECT_EQ(info.String(L"FileVersion"), std::optional<std::wstring>(TALLYRA_VERSION));
    EXPECT_EQ(info.String(L"ProductVersion"), std::optional<std::wstring>(TALLYRA_VERSION));
    EXPECT_EQ(info.String(L"ProductName"), std::optional<std::wstring>(L"Tallyra"));
    EXPECT_EQ(info.String(L"OriginalFilename"), std::optional<std::wstring>(FileName(file)));
    const std::wstring description = info.String(L"FileDescription").value_or(L"");
    EXPECT_EQ(description.rfind(L"Tallyra ", 0), 0u) << Narrow(description);
    EXPECT_FALSE(info.String(L"CompanyName").value_or(L"").empty());
}

INSTANTIATE_TEST_SUITE_P(Binaries, ShippedBinary,
                         ::testing::Values(Shipped{L"full\\Tallyra32.dll", VFT_DLL},
                                           Shipped{L"full\\Tallyra32.en.dll", VFT_DLL},
                                           Shipped{L"full\\tallyra-hash.exe", VFT_APP},
                                           Shipped{L"reduced\\Tallyra32.dll", VFT_DLL},
                                           Shipped{L"reduced\\tallyra-hash.exe", VFT_APP},
                                           Shipped{L"compact\\Tallyra.dll", VFT_DLL}));
