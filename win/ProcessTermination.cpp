#include "ProcessTermination.h"

#include <atomic>

namespace win {

namespace {

std::atomic<bool> terminating{false};

}  // namespace

bool ProcessIsTerminating() noexcept
{
    return terminating.load();
}

void NoteProcessTerminating() noexcept
{
    terminating.store(true);
}

}  // namespace win
