#include "DigestList.h"

#include "ReportList.h"

#include "resource.h"
#include "engine/HashData.h"
#include "settings/ResourceInstance.h"

#include <algorithm>
#include <optional>

namespace {

constexpr int kNameColumnWidth = 75;
constexpr int kDigestColumnMargin = 80;

}  // namespace

void SetUpDigestList(const win::ListView& list)
{
    RECT client = {};
    ::GetClientRect(list, &client);
    const int digestWidth = (client.right - client.left) - kDigestColumnMargin;
    const std::optional<int> digestColumn = digestWidth == -1 ? std::nullopt : std::optional<int>(digestWidth);
    SetUpReportList(list,
                    {{LoadResourceString(IDS_ALGORITHM), kNameColumnWidth},
                     {LoadResourceString(IDS_HASH_VALUE), digestColumn}},
                    LVS_EX_INFOTIP);
}

void DigestListCells::Fill(NMLVDISPINFOW& info, const class HashData& job)
{
    if (info.item.iItem < 0 || static_cast<size_t>(info.item.iItem) >= job.Count() || !(info.item.mask & LVIF_TEXT) ||
        job.IsRunning())
        return;
    const SharedDescriptor descriptor = job.At(static_cast<size_t>(info.item.iItem));
    std::wstring& cell = texts[next++ % texts.size()];
    cell = info.item.iSubItem == 0 ? descriptor->GetName() : descriptor->GetDigestText();
    if (!cell.empty())
        info.item.pszText = cell.data();
}

void FillDigestInfoTip(NMLVGETINFOTIPW& tip, const class HashData& job)
{
    if (tip.iItem < 0 || static_cast<size_t>(tip.iItem) >= job.Count() || tip.pszText == nullptr ||
        tip.cchTextMax <= 0)
        return;
    const std::wstring description = job.At(static_cast<size_t>(tip.iItem))->GetDescription();
    const size_t length = std::min(description.size(), static_cast<size_t>(tip.cchTextMax - 1));
    description.copy(tip.pszText, length);
    tip.pszText[length] = L'\0';
}
