#pragma once
// Window procedures and COM methods are called by the system, which cannot
// unwind C++ exceptions: everything they run goes through this barrier.
namespace win {

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

}  // namespace win
