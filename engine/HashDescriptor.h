#pragma once
// One hash algorithm: its name and description, and a live hashing object.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IHashDescriptor {
public:
    virtual ~IHashDescriptor() = default;
    virtual void Update(const std::uint8_t* data, std::uint32_t length) = 0;
    // Ends the message, stores its digest text and leaves the hash restarted.
    virtual void Finalize() = 0;
    // The text of the last Finalize; empty before the first.
    virtual std::wstring GetDigestText() const = 0;
    virtual std::wstring GetName() const = 0;
    virtual std::wstring GetDescription() const = 0;
    // Drops the data passed since the last Finalize; keeps the digest text.
    virtual void Restart() = 0;
};

using SharedDescriptor = std::shared_ptr<IHashDescriptor>;
using DescriptorList = std::vector<SharedDescriptor>;
