// The manifest resource of the module and the activation context made from
// it. Wine's single comctl32 reports 5.81 under any manifest, so what can be
// checked is that the manifest is there and valid, and that the context is
// made and is the active one where the code asks for it.
#include "win/ActivationContext.h"
#include "win/ThisModule.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string ManifestText()
{
    HRSRC found = ::FindResourceW(ThisModule(), MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24));
    if (!found)
        return {};
    const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(ThisModule(), found)));
    return std::string(bytes, ::SizeofResource(ThisModule(), found));
}

HANDLE CurrentContext()
{
    HANDLE current = nullptr;
    ::GetCurrentActCtx(&current);
    if (current)
        ::ReleaseActCtx(current);  // only compared, never used
    return current;
}

}  // namespace

TEST(ActivationContext, ModuleManifestAsksForCommonControlsSix)
{
    const std::string manifest = ManifestText();
    ASSERT_FALSE(manifest.empty()) << "no RT_MANIFEST resource 2";
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
    // The loader accepts it: a context can be made from it.
    EXPECT_TRUE(win::MakeActivationContext(ThisModule(), win::kModuleManifestId));
}

TEST(ActivationContext, ModuleContextIsMadeOnceAndActiveOnlyInItsScope)
{
    const HANDLE context = win::ModuleActivationContext();
    ASSERT_TRUE(win::ActivationContextTraits::IsValid(context));
    EXPECT_EQ(win::ModuleActivationContext(), context);

    const HANDLE outside = CurrentContext();
    EXPECT_NE(outside, context);
    {
        win::ScopedModuleActivation activation;
        EXPECT_TRUE(activation.IsActive());
        EXPECT_EQ(CurrentContext(), context);
        {
            win::ScopedActivation nested(context);
            EXPECT_EQ(CurrentContext(), context);
        }
        EXPECT_EQ(CurrentContext(), context);
    }
    EXPECT_EQ(CurrentContext(), outside);
}

TEST(ActivationContext, ModuleWithoutManifestGivesNoContext)
{
    // kernel32 carries no resource 2 manifest.
    EXPECT_FALSE(win::MakeActivationContext(::GetModuleHandleW(L"kernel32.dll"), win::kModuleManifestId));
    win::ScopedActivation nothing(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(nothing.IsActive());
}
