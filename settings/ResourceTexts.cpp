#include "ResourceTexts.h"

#include "ResourceInstance.h"

namespace {

class FromResourceInstance final : public IHashTexts {
public:
    std::wstring Text(unsigned id) const override { return LoadResourceString(id); }
};

}  // namespace

const IHashTexts& ResourceTexts()
{
    static const FromResourceInstance texts;
    return texts;
}
