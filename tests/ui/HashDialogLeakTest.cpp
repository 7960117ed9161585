// GDI objects of pages made and closed while they hash, against a bare page
// on the same template in the same kind of sheet: Wine's sheet itself keeps
// one GDI object per sheet, so only what the page adds on top is counted.
#include "support/Digests.h"
#include "support/FileSeam.h"
#include "support/Gui.h"
#include "support/TallyraDll.h"
#include "support/TestFiles.h"
#include "ui/HashDialog.h"

#include <gtest/gtest.h>
#include <ole2.h>

namespace {

// The same template with no code of ours behind it.
class BarePage : public win::PropertyPage<BarePage> {
public:
    BarePage() : PropertyPage(ThisModule(), IDD_HASH_PAGE) {}
    static const win::MessageMap<BarePage>& Messages()
    {
        static const win::MessageMap<BarePage> none{};
        return none;
    }
    void OnPageRelease() { delete this; }
};

template <class MakePage>
size_t GdiObjectsLeftBy(int sheets, MakePage makePage)
{
    auto cycle = [&] {
        HWND sheet = ShowInModelessSheet({makePage()});
        PumpPending();  // shown and painted
        ::DestroyWindow(sheet);
    };
    cycle();  // what is made once per process
    const size_t before = CountGdiObjects();
    for (int i = 0; i < sheets; ++i)
        cycle();
    const size_t after = CountGdiObjects();
    return after > before ? after - before : 0;
}

}  // namespace

TEST(HashDialogLeaks, PagesClosedWhileTheyHashLeaveNoGdiObjectOfTheirOwn)
{
    ::OleInitialize(nullptr);
    FixedSettings settings;
    settings.enabled = {L"MD2", L"SHA-512"};
    BoundSettings bound(settings);
    TempFolder folder;
    const std::wstring path = folder.Write(L"busy.bin", PatternBytes(307200));
    FileSeam seam;
    seam.Close();  // every run waits in its first read until its sheet is gone
    const size_t windows = CountThreadWindows();

    const int sheets = 15;
    const size_t bare = GdiObjectsLeftBy(sheets, [] { return (new BarePage())->Create(); });
    const size_t ours = GdiObjectsLeftBy(sheets, [&] {
        auto* page = new CHashDialog(path);
        page->SetSystemCallsForTesting(FileSeam::Calls());
        return page->Create();
    });
    // Three result icons, fonts or an image list per page would show as 15 to 45 more.
    EXPECT_LE(ours, bare + 3) << "bare page: " << bare << ", hash page: " << ours;
    EXPECT_LE(CountThreadWindows(), windows);
    ::OleUninitialize();
}
