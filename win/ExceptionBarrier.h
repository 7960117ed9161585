#pragma once
// Window procedures and COM methods are called by the system, which cannot
// unwind C++ exceptions: everything they run goes through this barrier.
#include <exception>
#include <new>
#include <windows.h>

namespace win {

// A failure that must reach a COM caller as the HRESULT it is.
class HResultError : public std::exception {
public:
    explicit HResultError(HRESULT hr) noexcept : hr(hr) {}
    HRESULT Result() const noexcept { return hr; }
    const char* what() const noexcept override { return "HRESULT failure"; }

private:
    HRESULT hr;
};

// Runs work; false when it threw (the exception is dropped: nothing is
// reported anywhere, the caller falls back to its default answer).
template <class Work>
bool RunGuarded(Work&& work) noexcept
{
    try {
        work();
        return true;
    } catch (...) {
        return false;
    }
}

// Runs work that answers with an HRESULT; an exception becomes the HRESULT
// that says what failed: a thrown HResultError its own, an allocation
// failure E_OUTOFMEMORY, anything else E_UNEXPECTED.
template <class Work>
HRESULT GuardedHResult(Work&& work) noexcept
{
    try {
        return work();
    } catch (const HResultError& error) {
        return error.Result();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// The calling thread's last error as an HRESULT; `otherwise` when the call
// that failed set none.
inline HRESULT LastErrorHResult(HRESULT otherwise = E_FAIL) noexcept
{
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : otherwise;
}

}  // namespace win
