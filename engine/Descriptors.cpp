#include "Descriptors.h"

#include "DigestText.h"
#include "HashTexts.h"

#include <algorithm>
#include <windows.h>

std::wstring WidenAlgorithmName(const char* name)
{
    const int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, name, -1, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, name, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

std::wstring DescriptionFromStringTable(unsigned id)
{
    return BoundHashTexts().Text(id);
}

void DescriptorCRC32C::Finalize()
{
    std::vector<std::uint8_t> digest = FinalDigest();
    CrcBytesMostSignificantFirst(digest.data(), digest.size());
    StoreDigest(digest);
}
