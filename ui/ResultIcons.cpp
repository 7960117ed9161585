#include "ResultIcons.h"

#include "resource.h"
#include "win/ActivationContext.h"

namespace {

constexpr int kIconSize = 32;
constexpr COLORREF kMaskColour = RGB(255, 255, 255);

}  // namespace

void ResultIcons::Load(HINSTANCE module)
{
    win::ScopedModuleActivation activation;
    win::UniqueImageList images(::ImageList_LoadImageW(module, MAKEINTRESOURCEW(IDB_RESULT_ICONS), kIconSize, 0,
                                                       kMaskColour, IMAGE_BITMAP, LR_CREATEDIBSECTION));
    if (!images)
        return;
    question.reset(::ImageList_GetIcon(images.get(), 0, ILD_NORMAL));
    cross.reset(::ImageList_GetIcon(images.get(), 1, ILD_NORMAL));
    check.reset(::ImageList_GetIcon(images.get(), 2, ILD_NORMAL));
}

HICON ResultIcons::For(ComparisonOutcome outcome) const noexcept
{
    switch (outcome) {
    case ComparisonOutcome::Match:
        return check.get();
    case ComparisonOutcome::Mismatch:
        return cross.get();
    case ComparisonOutcome::NothingToCompare:
        break;
    }
    return question.get();
}

std::optional<ComparisonOutcome> ResultIcons::OutcomeOf(HICON icon) const noexcept
{
    if (icon == nullptr)
        return std::nullopt;
    if (icon == check.get())
        return ComparisonOutcome::Match;
    if (icon == cross.get())
        return ComparisonOutcome::Mismatch;
    if (icon == question.get())
        return ComparisonOutcome::NothingToCompare;
    return std::nullopt;
}
