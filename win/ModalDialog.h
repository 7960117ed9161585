#pragma once
// A modal dialog from a template of a given module, created inside the
// module's activation context.
#include "win/ActivationContext.h"
#include "win/DialogImpl.h"

namespace win {

template <class T>
class ModalDialog : public DialogImpl<T> {
public:
    // The result given to EndDialog; -1 when the dialog could not be made
    // (no such template, for one).
    INT_PTR DoModal(HWND parent = ::GetActiveWindow())
    {
        if (!::FindResourceW(instance, MAKEINTRESOURCEW(templateId), RT_DIALOG))
            return -1;
        ScopedModuleActivation activation;
        this->PrepareBinding();
        const INT_PTR result = ::DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent,
                                                 &DialogImpl<T>::DialogProcedure, 0);
        this->CancelBinding();  // when creation failed before the first message
        return result;
    }

protected:
    ModalDialog(HINSTANCE instance, UINT templateId) : instance(instance), templateId(templateId) {}
    ~ModalDialog() = default;

    void EndDialog(INT_PTR result) { ::EndDialog(this->Window(), result); }

private:
    HINSTANCE instance;
    UINT templateId;
};

}  // namespace win
