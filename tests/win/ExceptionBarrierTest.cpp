// What a COM caller is told when the work behind a method throws: the
// thrown HRESULT itself, E_OUTOFMEMORY for an allocation, E_UNEXPECTED for
// anything else, also when an object's construction is what failed.
#include "win/ComObject.h"
#include "win/ExceptionBarrier.h"

#include <gtest/gtest.h>
#include <objidl.h>
#include <stdexcept>

namespace {

// The answer its FinalConstruct gives (or throws) is the test's to choose.
thread_local HRESULT constructAnswer = S_OK;
thread_local bool constructThrowsAllocation = false;

class Constructed : public win::ComClassBase, public IPersist {
public:
    static const QITAB* Interfaces()
    {
        static const QITAB interfaces[] = {{&IID_IPersist, OFFSETOFCLASS(IPersist, Constructed)}, {nullptr, 0}};
        return interfaces;
    }
    HRESULT FinalConstruct()
    {
        if (constructThrowsAllocation)
            throw std::bad_alloc();
        return constructAnswer;
    }
    IFACEMETHODIMP GetClassID(CLSID* clsid) override
    {
        *clsid = CLSID_NULL;
        return S_OK;
    }
};

}  // namespace

TEST(ExceptionBarrier, AThrownFailureReachesTheCallerAsWhatItIs)
{
    EXPECT_EQ(win::GuardedHResult([] { return S_FALSE; }), S_FALSE);
    EXPECT_EQ(win::GuardedHResult([]() -> HRESULT { throw win::HResultError(E_ACCESSDENIED); }), E_ACCESSDENIED);
    EXPECT_EQ(win::GuardedHResult([]() -> HRESULT { throw std::bad_alloc(); }), E_OUTOFMEMORY);
    EXPECT_EQ(win::GuardedHResult([]() -> HRESULT { throw std::runtime_error("other"); }), E_UNEXPECTED);
    ::SetLastError(ERROR_SHARING_VIOLATION);
    EXPECT_EQ(win::LastErrorHResult(), HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(win::LastErrorHResult(E_NOTIMPL), E_NOTIMPL);
}

TEST(ExceptionBarrier, AFailedConstructionIsReportedWithItsOwnResult)
{
    struct Case {
        HRESULT answer;
        bool throwsAllocation;
        HRESULT expected;
    } cases[] = {
        {S_OK, false, S_OK},
        {E_ACCESSDENIED, false, E_ACCESSDENIED},
        {CO_E_NOTINITIALIZED, false, CO_E_NOTINITIALIZED},
        {S_OK, true, E_OUTOFMEMORY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.expected);
        constructAnswer = c.answer;
        constructThrowsAllocation = c.throwsAllocation;

        IPersist* made = nullptr;
        EXPECT_EQ(win::CreateComInstance<Constructed>(nullptr, IID_IPersist, reinterpret_cast<void**>(&made)),
                  c.expected);
        EXPECT_EQ(made != nullptr, SUCCEEDED(c.expected));
        if (made)
            made->Release();

        HRESULT thrown = S_OK;
        try {
            win::MakeComObject<Constructed>();
        } catch (const win::HResultError& error) {
            thrown = error.Result();
        } catch (const std::bad_alloc&) {
            thrown = E_OUTOFMEMORY;
        }
        EXPECT_EQ(thrown, c.expected);
    }
    constructAnswer = S_OK;
    constructThrowsAllocation = false;
}
