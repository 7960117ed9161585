#include "RegistryRedirect.h"

namespace win {

PredefinedKeyRedirect::PredefinedKeyRedirect(HKEY predefined, HKEY target) noexcept
    : predefined(predefined), active(::RegOverridePredefKey(predefined, target) == ERROR_SUCCESS)
{
}

PredefinedKeyRedirect::~PredefinedKeyRedirect()
{
    if (active)
        ::RegOverridePredefKey(predefined, nullptr);
}

}  // namespace win
