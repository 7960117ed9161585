// The lanes on their own: how many a run gets, the read-ahead buffer that is
// never the one the lanes still hash, and the digests that come out.
#include "engine/HashData.h"
#include "engine/HashLanes.h"
#include "support/Digests.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <map>
#include <set>

TEST(HashLanes, OneLanePerProcessorAtMostOnePerDescriptorReadingAheadIntoTheOtherBuffer)
{
    const std::vector<std::wstring> names = {L"CRC32", L"MD5", L"SHA-256"};
    const std::vector<std::uint8_t> bytes = PatternBytes(307200);
    const std::map<unsigned, std::size_t> lanesFor = {{0, 0}, {1, 0}, {2, 2}, {3, 3}, {64, 3}};
    for (const auto& [processors, expectedLanes] : lanesFor) {
        SCOPED_TRACE(testing::Message() << processors << " processors");
        DescriptorList descriptors;
        for (const std::wstring& name : names)
            descriptors.push_back(MakeDescriptor(name));
        {
            HashLanes lanes(descriptors, processors, kHashBlockSize);
            EXPECT_EQ(lanes.Count(), expectedLanes);
            std::set<std::uint8_t*> buffers;
            for (std::size_t offset = 0; offset < bytes.size(); offset += kHashBlockSize) {
                // Written while the lanes may still hash the block before.
                std::uint8_t* buffer = lanes.NextBuffer();
                buffers.insert(buffer);
                std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), kHashBlockSize, buffer);
                lanes.Hash(kHashBlockSize);
                EXPECT_EQ(lanes.NextBuffer() != buffer, expectedLanes > 0);
            }
            lanes.Wait();
            EXPECT_EQ(buffers.size(), expectedLanes > 0 ? 2u : 1u);
        }
        DigestTable digests;
        for (const SharedDescriptor& descriptor : descriptors) {
            descriptor->Finalize();
            digests[descriptor->GetName()] = descriptor->GetDigestText();
        }
        EXPECT_EQ(digests, PatternDigests(307200, names));
    }
}
