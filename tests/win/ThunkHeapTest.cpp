// The executable heap behind window thunks goes with the module: a process
// that loads, uses and unloads a module many times keeps no heap per load.
#include "support/ChildProcess.h"
#include "win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

DWORD CountProcessHeaps()
{
    return ::GetProcessHeaps(0, nullptr);
}

}  // namespace

TEST(ThunkHeap, UnloadingTheModuleDestroysItsHeap)
{
    win::UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr,
                                               nullptr));
    ASSERT_TRUE(window);
    const std::wstring probe = BesideThisProgram(L"subclass_probe.dll");

    auto cycle = [&] {
        HMODULE module = ::LoadLibraryW(probe.c_str());
        ASSERT_NE(module, nullptr);
        using Probe = BOOL (*)(HWND);
        auto subclassAndRemove = reinterpret_cast<Probe>(::GetProcAddress(module, "ProbeSubclassAndRemove"));
        ASSERT_NE(subclassAndRemove, nullptr);
        EXPECT_TRUE(subclassAndRemove(window.get()));
        ::FreeLibrary(module);
        ASSERT_EQ(::GetModuleHandleW(probe.c_str()), nullptr);
    };
    cycle();  // whatever the first load leaves for good (loader and CRT state)
    const DWORD heaps = CountProcessHeaps();
    for (int i = 0; i < 10; ++i)
        cycle();
    EXPECT_EQ(CountProcessHeaps(), heaps);
}
