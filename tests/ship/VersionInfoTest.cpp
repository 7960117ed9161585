// The version resources of the binaries we ship, read back as Windows'
// file properties read them: the project's version, its product name and a
// description of each file.
#include "support/ChildProcess.h"
#include "support/ShippedLanguages.h"
#include "support/Text.h"
#include "win/VersionResource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <optional>
#include <vector>

namespace {

struct Shipped {
    std::wstring path;  // beside the test programs, in bin/
    DWORD fileType;
};

// What the full configuration ships, for 64-bit programs and (tools/build.sh's
// win32 folder) for 32-bit ones: the module, each language module, the tools.
std::vector<Shipped> ShippedBinaries()
{
    std::vector<Shipped> shipped = {{L"full\\Tallyra32.dll", VFT_DLL},
                                    {L"full\\tallyra-hash.exe", VFT_APP},
                                    {L"full\\tallyra-user-language.exe", VFT_APP},
                                    {L"reduced\\Tallyra32.dll", VFT_DLL},
                                    {L"reduced\\tallyra-hash.exe", VFT_APP},
                                    {L"compact\\Tallyra.dll", VFT_DLL},
                                    {L"..\\win32\\bin\\full\\Tallyra32.dll", VFT_DLL},
                                    {L"..\\win32\\bin\\reduced\\Tallyra32.dll", VFT_DLL},
                                    {L"..\\win32\\bin\\compact\\Tallyra.dll", VFT_DLL}};
    for (const ShippedLanguage& language : ShippedLanguages()) {
        shipped.push_back({language.Path(), VFT_DLL});
        shipped.push_back({L"..\\win32\\bin\\" + language.Path(), VFT_DLL});
    }
    return shipped;
}

std::wstring FileName(const std::wstring& path)
{
    return path.substr(path.find_last_of(L'\\') + 1);
}

class ShippedBinary : public ::testing::TestWithParam<Shipped> {};

}  // namespace

TEST_P(ShippedBinary, CarriesTheProjectsVersionAndItsOwnName)
{
    const std::wstring file = BesideThisProgram(GetParam().path);
    const win::VersionResource info(file);
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

INSTANTIATE_TEST_SUITE_P(Binaries, ShippedBinary, ::testing::ValuesIn(ShippedBinaries()));
