#include "ActivationContext.h"

#include "win/ThisModule.h"

namespace win {

UniqueActivationContext MakeActivationContext(HMODULE module, UINT manifestId)
{
    ACTCTXW description = {};
    description.cbSize = sizeof(description);
    description.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    description.hModule = module;
    description.lpResourceName = MAKEINTRESOURCEW(manifestId);
    return UniqueActivationContext(::CreateActCtxW(&description));
}

HANDLE ModuleActivationContext()
{
    static const UniqueActivationContext context = MakeActivationContext(ThisModule(), kModuleManifestId);
    return context.get();
}

ScopedActivation::ScopedActivation(HANDLE context) noexcept : context(context)
{
    if (ActivationContextTraits::IsValid(context))
        active = ::ActivateActCtx(context, &cookie) != FALSE;
}

ScopedActivation::~ScopedActivation()
{
    if (active)
        ::DeactivateActCtx(0, cookie);
}

}  // namespace win
