#pragma once
// The algorithm-independent half of a descriptor, over one hash class:
// Crypto++'s, or one of ours with the same calls (Update, Final, Restart,
// DigestSize).
#include "DigestText.h"
#include "HashDescriptor.h"
#include "HashSettings.h"

#include <vector>

template <class T>
class HashDescriptorImpl : public IHashDescriptor {
public:
    void Update(const std::uint8_t* data, std::uint32_t length) override { hash.Update(data, length); }

    void Finalize() override { StoreDigest(FinalDigest()); }

    std::wstring GetDigestText() const override { return digestText; }

    void Restart() override { hash.Restart(); }

protected:
    // Crypto++'s Final also restarts the hash object.
    std::vector<std::uint8_t> FinalDigest()
    {
        std::vector<std::uint8_t> digest(hash.DigestSize());
        hash.Final(digest.data());
        return digest;
    }

    // The case is the one the settings ask for at this moment.
    void StoreDigest(const std::vector<std::uint8_t>& digest)
    {
        digestText = FormatDigestText(digest.data(), digest.size(), BoundHashSettings().UseLowercase());
    }

private:
    std::wstring digestText;
    T hash;
};
