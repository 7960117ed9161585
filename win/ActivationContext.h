#pragma once
// Activation contexts: the module's own manifest (resource 2, which asks for
// version 6 of the common controls) made into a context once, and scoped
// activations around the calls that create controls and dialogs.
#include "win/UniqueHandle.h"

namespace win {

struct ActivationContextTraits {
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) noexcept { ::ReleaseActCtx(h); }
};
using UniqueActivationContext = UniqueHandle<HANDLE, ActivationContextTraits>;

constexpr UINT kModuleManifestId = 2;  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID

// A context from a manifest resource of a module; invalid when it has none.
UniqueActivationContext MakeActivationContext(HMODULE module, UINT manifestId);

// The context of this module's manifest, made on first use and kept for the
// life of the module; INVALID_HANDLE_VALUE when it cannot be made.
HANDLE ModuleActivationContext();

// Activates a context for the life of the object (on this thread).
class ScopedActivation {
public:
    explicit ScopedActivation(HANDLE context) noexcept;
    ~ScopedActivation();
    ScopedActivation(const ScopedActivation&) = delete;
    ScopedActivation& operator=(const ScopedActivation&) = delete;

    bool IsActive() const noexcept { return active; }
    HANDLE Context() const noexcept { return context; }

private:
    HANDLE context;
    ULONG_PTR cookie = 0;
    bool active = false;
};

// The module's own context, active for the life of the object.
class ScopedModuleActivation : public ScopedActivation {
public:
    ScopedModuleActivation() : ScopedActivation(ModuleActivationContext()) {}
};

}  // namespace win
