#include "HashTexts.h"

#include "win/StringResource.h"
#include "win/ThisModule.h"

#include <atomic>

namespace {

class OwnStringTable final : public IHashTexts {
public:
    std::wstring Text(unsigned id) const override { return win::LoadStringResource(ThisModule(), id); }
};

const OwnStringTable ownStringTable;
std::atomic<const IHashTexts*> boundTexts{nullptr};

}  // namespace

const IHashTexts& BoundHashTexts()
{
    const IHashTexts* texts = boundTexts.load();
    return texts ? *texts : ownStringTable;
}

void BindHashTexts(const IHashTexts* texts)
{
    boundTexts.store(texts);
}
