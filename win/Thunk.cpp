#include "Thunk.h"

#include <atomic>
#include <cstdint>
#include <cstring>

namespace win {

namespace {

// One private heap whose blocks may be executed: thunks are small and many,
// so a page each would be wasteful. Made while the module loads (before
// anything can subclass, so that it is destroyed after everything made
// later) and destroyed when the module unloads, so that a shell that loads and unloads the module all day
// is not left with a heap per load. A thunk still alive then (a window still
// subclassed by code that is going away) keeps the heap: freeing it would
// turn the window's next message into a jump into freed memory.
class ExecutableHeap {
public:
    ExecutableHeap() : heap(::HeapCreate(HEAP_CREATE_ENABLE_EXECUTE, 0, 0)) {}
    ~ExecutableHeap()
    {
        if (heap != nullptr && blocks.load() == 0)
            ::HeapDestroy(heap);
    }
    ExecutableHeap(const ExecutableHeap&) = delete;
    ExecutableHeap& operator=(const ExecutableHeap&) = delete;

    void* Allocate(std::size_t size)
    {
        void* block = heap ? ::HeapAlloc(heap, 0, size) : nullptr;
        if (block)
            ++blocks;
        return block;
    }
    void Free(void* block)
    {
        if (block && ::HeapFree(heap, 0, block))
            --blocks;
    }

private:
    HANDLE heap;
    std::atomic<std::size_t> blocks{0};
};

ExecutableHeap thunkHeap;

#if defined(_M_X64) || defined(__x86_64__)
#pragma pack(push, 1)
struct Code {
    std::uint8_t movRcx[2];  // mov rcx, object   (first argument: the window)
    std::uint64_t object;
    std::uint8_t movRax[2];  // mov rax, procedure
    std::uint64_t procedure;
    std::uint8_t jmpRax[2];  // jmp rax
};
#pragma pack(pop)

void Fill(Code& code, void* object, WNDPROC procedure)
{
    const std::uint8_t movRcx[2] = {0x48, 0xB9}, movRax[2] = {0x48, 0xB8}, jmpRax[2] = {0xFF, 0xE0};
    std::memcpy(code.movRcx, movRcx, 2);
    code.object = reinterpret_cast<std::uint64_t>(object);
    std::memcpy(code.movRax, movRax, 2);
    code.procedure = reinterpret_cast<std::uint64_t>(procedure);
    std::memcpy(code.jmpRax, jmpRax, 2);
}
#elif defined(_M_IX86) || defined(__i386__)
#pragma pack(push, 1)
struct Code {
    std::uint32_t movEsp4;  // mov dword ptr [esp+4], object   (first stdcall argument)
    std::uint32_t object;
    std::uint8_t jmp;  // jmp procedure (relative)
    std::int32_t offset;
};
#pragma pack(pop)

void Fill(Code& code, void* object, WNDPROC procedure)
{
    code.movEsp4 = 0x042444C7;
    code.object = reinterpret_cast<std::uint32_t>(object);
    code.jmp = 0xE9;
    code.offset = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(procedure) -
                                            reinterpret_cast<std::intptr_t>(&code.offset + 1));
}
#else
#error "window thunks are written for x86 and x64"
#endif

}  // namespace

Thunk::Thunk(void* object, WNDPROC procedure)
{
    if (void* block = thunkHeap.Allocate(sizeof(Code))) {
        Fill(*static_cast<Code*>(block), object, procedure);
        ::FlushInstructionCache(::GetCurrentProcess(), block, sizeof(Code));
        code = block;
    }
}

Thunk::~Thunk()
{
    thunkHeap.Free(code);
}

WNDPROC Thunk::Procedure() const noexcept
{
    return reinterpret_cast<WNDPROC>(code);
}

}  // namespace win
