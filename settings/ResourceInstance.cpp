#include "ResourceInstance.h"

#include "win/StringResource.h"

#include <atomic>
#include <mutex>
#include <utility>

namespace {

// Readers that only want the handle read the atomic; a lease takes the
// handle and its keeper together, under the lock that exchanges them.
std::atomic<HINSTANCE> resourceInstance{nullptr};
std::mutex exchangeLock;
std::shared_ptr<void> currentKeeper;

HINSTANCE OrThisModule(HINSTANCE instance)
{
    return instance ? instance : ThisModule();
}

}  // namespace

HINSTANCE ResourceInstance()
{
    return OrThisModule(resourceInstance.load());
}

HINSTANCE ExchangeResourceInstance(HINSTANCE instance, std::shared_ptr<void> keeper)
{
    std::shared_ptr<void> released;  // let go outside the lock: it may free a module
    HINSTANCE previous;
    {
        std::lock_guard<std::mutex> lock(exchangeLock);
        previous = resourceInstance.exchange(instance);
        released = std::exchange(currentKeeper, std::move(keeper));
    }
    return OrThisModule(previous);
}

ResourceLease LeaseResourceInstance()
{
    std::lock_guard<std::mutex> lock(exchangeLock);
    return {ResourceInstance(), currentKeeper};
}

std::wstring LoadResourceString(unsigned id)
{
    const ResourceLease lease = LeaseResourceInstance();
    return win::LoadStringResource(lease.instance, id);
}
