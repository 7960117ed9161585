#pragma once
// Movable global memory blocks (HGLOBAL), as the clipboard hands them out and
// takes them: an owner that frees a block, and a lock held for a scope.
#include "win/UniqueHandle.h"

#include <cstddef>

namespace win {

struct GlobalMemoryTraits {
    static HGLOBAL Invalid() noexcept { return nullptr; }
    static bool IsValid(HGLOBAL h) noexcept { return h != nullptr; }
    static void Close(HGLOBAL h) noexcept { ::GlobalFree(h); }
};

// A block this code allocated and still owns (release() it once the
// clipboard has taken it).
using UniqueGlobal = UniqueHandle<HGLOBAL, GlobalMemoryTraits>;

// GlobalLock for a scope. Bytes() is GlobalSize: the whole block, which
// says nothing of what the writer meant to put in it.
class GlobalLock {
public:
    explicit GlobalLock(HGLOBAL block) noexcept
        : block_(block), data_(block != nullptr ? ::GlobalLock(block) : nullptr),
          bytes_(data_ != nullptr ? ::GlobalSize(block) : 0)
    {
    }
    GlobalLock(const GlobalLock&) = delete;
    GlobalLock& operator=(const GlobalLock&) = delete;
    ~GlobalLock()
    {
        if (data_ != nullptr)
            ::GlobalUnlock(block_);
    }

    void* Data() const noexcept { return data_; }
    std::size_t Bytes() const noexcept { return bytes_; }

private:
    HGLOBAL block_;
    void* data_;
    std::size_t bytes_;
};

}  // namespace win
