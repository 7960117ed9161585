#include "TestFiles.h"

#include "Text.h"
#include "win/LongPath.h"
#include "win/UniqueHandle.h"

#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    path = std::wstring(temp) + L"tallyra-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
    if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create a temporary folder");
}

namespace {

// The folder's files and subfolders (links are removed, not entered), then the folder.
void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(ExtendedLengthPath(folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            const std::wstring path = folder + L"\\" + name;
            if (name == L"." || name == L"..")
                continue;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                ::DeleteFileW(ExtendedLengthPath(path).c_str());
            else if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
                ::RemoveDirectoryW(ExtendedLengthPath(path).c_str());
            else
                RemoveTree(path);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(ExtendedLengthPath(folder).c_str());
}

}  // namespace

TempFolder::~TempFolder()
{
    RemoveTree(path);
}

std::wstring TempFolder::MakeFolder(const std::wstring& name) const
{
    const std::wstring folder = path + L"\\" + name;
    if (!::CreateDirectoryW(ExtendedLengthPath(folder).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create a test folder");
    return folder;
}

std::wstring TempFolder::Write(const std::wstring& name, const std::vector<std::uint8_t>& content) const
{
    const std::wstring file = path + L"\\" + name;
    win::UniqueFile handle(
        ::CreateFileW(ExtendedLengthPath(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!handle)
        throw std::runtime_error("cannot create a test file");
    DWORD written = 0;
    if (!content.empty() &&
        (!::WriteFile(handle.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
         written != content.size()))
        throw std::runtime_error("cannot write a test file");
    return file;
}

std::vector<std::uint8_t> PatternBytes(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(((i * 31 + 7) ^ (i >> 9)) & 0xFF);
    return bytes;
}

namespace {

struct PatternDigest {
    std::size_t size;
    const wchar_t* algorithm;
    const wchar_t* digest;
};

const PatternDigest kPatternDigests[] = {
    {0, L"Adler32", L"00000001"},
    {0, L"CRC32", L"00000000"},
    {0, L"MD2", L"8350E5A3E24C153DF2275C9F80692773"},
    {0, L"MD4", L"31D6CFE0D16AE931B73C59D7E0C089C0"},
    {0, L"MD5", L"D41D8CD98F00B204E9800998ECF8427E"},
    {0, L"SHA-1", L"DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
    {0, L"SHA-256", L"E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855"},
    {0, L"Tiger", L"3293AC630C13F0245F92BBB1766E16167A4E58492DDE73F3"},
    {0, L"Whirlpool", L"19FA61D75522A4669B44E39C1D2E1726C530232130D407F89AFEE0964997F7A7"
                      L"3E83BE698B288FEBCF88E3E03C4F0757EA8964E59B63D93708B138CC42A66EB3"},
    {1, L"Adler32", L"00080008"},
    {1, L"CRC32", L"4C667A2E"},
    {1, L"MD2", L"981172770EB597B342BAD018D46ECA0A"},
    {1, L"MD4", L"A8DEEC165ED8AD822E82BC0563574D68"},
    {1, L"MD5", L"89E74E640B8C46257A29DE0616794D5D"},
    {1, L"SHA-1", L"5D1BE7E9DDA1EE8896BE5B7E34A85EE16452A7B4"},
    {1, L"SHA-256", L"CA358758F6D27E6CF45272937977A748FD88391DB679CEDA7DC7BF1F005EE879"},
    {1, L"Tiger", L"8BE25A4B0E9532A7CC116AD0D683AB78BE46ABF819FC266D"},
    {1, L"Whirlpool", L"CB7B2AD27A20D94F9F58858F7ECEF2EBF07CC198706BC73E39A90E784FBF7B76"
                      L"BB91D8B15EEAF57239E2824BEA656AF29D79BEC0AB5B0FD1A9EDA077CFDD2DB2"},
    {102400, L"Adler32", L"52ED43AA"},
    {102400, L"CRC32", L"4DDF93CF"},
    {102400, L"MD2", L"1B4AFD40ACD0545BF0CE90CB536F4CAA"},
    {102400, L"MD4", L"B32602C535E5502B351707581D4DF199"},
    {102400, L"MD5", L"17FCB0D8C5FD5F15B8291F0A446B02EE"},
    {102400, L"SHA-1", L"94F76A15BD829714F8765E002D6C16FD4C6684F8"},
    {102400, L"SHA-256", L"CACAF444FC2FD92A0BCF464842A0C674ECCDD05EDA7155B1E451611B358A9BDB"},
    {102400, L"Tiger", L"A35A9B36503211F930A83D6C2E83E750BD848B52FFDEE315"},
    {102400, L"Whirlpool", L"97BA7819992F241E4E81D45C68CC4C756609BB27122A091ADFB3ECCF72DF985A"
                           L"0E9550BBF7573E3F35835A50553FA4F0898F79ACD069A9664BE7EDED0FD7E8BE"},
    {102401, L"Adler32", L"97664479"},
    {102401, L"CRC32", L"D24F301E"},
    {102401, L"MD2", L"FA2B3BC67190404DE77168CC0A45C57A"},
    {102401, L"MD4", L"D6F42008065F0633C26D2113AFBB3956"},
    {102401, L"MD5", L"E3D44B6B393C9F729AA6C530606640FB"},
    {102401, L"SHA-1", L"B2240BD6B8F10BAC85CFFE79F9A7C5BC3AD0A2FB"},
    {102401, L"SHA-256", L"B44AB4312B17BC493382602FED2F8D3F7FA93004EEBB2DD4BF5F1AB1CF3392D3"},
    {102401, L"Tiger", L"F47EC548FC7CF865956E30EB5EE55B4084E32CA16E78CA89"},
    {102401, L"Whirlpool", L"D54AB70EA984F90ADA8130B5FEBBE1DCE424F7183F36B92DF4CAE30B59984B44"
                           L"746BD9CF0C81A4A5993F6C852119127409927EE390E0C4A37DF71F65774F56A0"},
    // The one size with every algorithm of both configurations: the rest
    // from RHash (SHA-384, SHA-512) and PHP's hash extension (RIPEMD, HAVAL).
    {102401, L"HAVAL", L"E8F18E8BAC17EEA705156AC98E4DAD9B323EE6BEEFE3A803DD3891DDD8813629"},
    {102401, L"RIPEMD-128", L"8148D852AC07C825A978D3F38A42439E"},
    {102401, L"RIPEMD-256", L"A35C7B9FCEF8F751D2052F7C793A90BE18509227C80B403F4F6643A9DAB903F4"},
    {102401, L"RIPEMD-320", L"65EFF484CA6CA5222A3132BB92D02FAC3F5E90D6EB4701E858A7FD2562234C00B6DFFEEE32C2CB7A"},
    {102401, L"SHA-384", L"A75927E880EA45802C4E4733BF050E74AF11928DDEE8647757B93D4B"
                         L"A6B2E5F503CAFC28F757F3CFE1C0C1FAFAE0DE97"},
    {102401, L"SHA-512", L"347DC2A4B3542EDF9D38568B6E9681BCFF1D45EF19C8F96F2F4AD11FBF032553"
                         L"FDD915C7CD28BCCCED3B7C3AB8120903AD5E7C0417CB5DCDD4AD1E59CDE6E902"},
    // The full configuration's newer algorithms, recorded with Python's hashlib
    // (SHA-3, BLAKE2), python3-crcmod (CRC-32C as "crc-32c", CRC-64/XZ), b3sum
    // and xxhsum -H1/-H3/-H2 over the bytes written by
    // python3 -c 'import sys; sys.stdout.buffer.write(bytes(((i*31+7)^(i>>9))&255 for i in range(102401)))'
    {102401, L"CRC32C", L"19AE841B"},
    {102401, L"CRC64", L"2EE5733B26C8172C"},
    {102401, L"SHA3-224", L"3B739B130292E2AA741E963907CE4D5BDC52B0B124B5B02C2914DA1E"},
    {102401, L"SHA3-256", L"EF7FD750CB79021486E4A1942283E20620C4800A6CFE4207E42B83C3AE9A5A88"},
    {102401, L"SHA3-384", L"5FE1DF72CD4AA11E5ABACE78855746CA053C6DC8EB9B7C2287511E3843056F0F"
                          L"A84ED7320936ACC597D6390482E5746A"},
    {102401, L"SHA3-512", L"322C14E86034FF4D73FDFDA8323240C8A3DC28E978F16C24ED9CEA709C795801"
                          L"F93F21ACB8B82ED92104ADDB8F5B722D1DDA2BDBA300A730281D32F04AA02DBD"},
    {102401, L"BLAKE2b", L"8E42C7E17B48817DF36136F61B7DA00BA3932120BEADD6749FCA06170B34C2FF"
                         L"8B26DD2E14B5E11F275650A31072B54AD5132CE7FA82BBD1862EE0D0B24141D0"},
    {102401, L"BLAKE2s", L"9E84BF207AD8776C124AA86B326A6951F4E1E8666F938C54AAB527DBE2496B38"},
    {102401, L"BLAKE3", L"4323438BD5A372FCDB74046383DF72F45850FA5909B8D9A559955CD04EAA8ACF"},
    {102401, L"XXH64", L"6792E7129C4BDA4E"},
    {102401, L"XXH3", L"035B649CD538FD24"},
    {102401, L"XXH128", L"0BA8A25881EFE0E2035B649CD538FD24"},
    {204800, L"Adler32", L"E81A8753"},
    {204800, L"CRC32", L"565143C0"},
    {204800, L"MD2", L"5259403DFD9A19209E62321ABB589F47"},
    {204800, L"MD4", L"21191C89774D7D27F33727D126031FF8"},
    {204800, L"MD5", L"6582564C0820FB30AD9CBF45BA31C1A1"},
    {204800, L"SHA-1", L"7B832FDC5B460AD806A8B57324BC86D8A1D6126B"},
    {204800, L"SHA-256", L"6D5A6D45647368226ED1A997F32B5E07992003686B3924991CE6ED5B448810E5"},
    {204800, L"Tiger", L"48FF7A428D36DDA27972E66340D0EED177DE8F25A60C2B24"},
    {204800, L"Whirlpool", L"EF1539683D33DA359796ACEC9B444A7519EB5A9B186BE5DA86ED6FA4854EE4E3"
                           L"F2507A9E64A9754170C1CF20DF4BAAA69B3ADC8CBE8406DA7A248128DFD79C43"},
    {307200, L"Adler32", L"BF5ACAFC"},
    {307200, L"CRC32", L"23935EEC"},
    {307200, L"MD2", L"D4111602B85B31EFDBDCD2038F80557B"},
    {307200, L"MD4", L"C3B1638EF668E6EA01287A8D94AAE613"},
    {307200, L"MD5", L"DF40F349DDF0456CC2A1C4A42C54A7AF"},
    {307200, L"SHA-1", L"EAF42DCB42A89A393EAF8324424559A7EE33CF65"},
    {307200, L"SHA-256", L"813BAC1A723CCA534163D0CC99BB57F02F111085F79B846CB942380D35DD1136"},
    {307200, L"Tiger", L"1A485639B4C9705CA828DF5C3041FF349073362A5EC4FCC3"},
    {307200, L"Whirlpool", L"1A7769901F193A1D2012AADA65A7DA0B5FF97544457482C2DF6F06939B5F67FE"
                           L"6359889513611A428E30D67F0237B70C2BB786D376D5992D28558FEB07CBCC54"},
    {kLargePatternSize, L"Adler32", L"1DAE6801"},
    {kLargePatternSize, L"CRC32", L"54401C7A"},
    {kLargePatternSize, L"MD2", L"3C45644D0B7354D4E40CB3ED597E0AE9"},
    {kLargePatternSize, L"MD4", L"79068BFCD3D95DAB8F738074D4B0F703"},
    {kLargePatternSize, L"MD5", L"6816386FF5017D753C13F4A9F13BA88F"},
    {kLargePatternSize, L"SHA-1", L"DCDE4472B357F701A6BDF4B3B1457F5C8D9471CC"},
    {kLargePatternSize, L"SHA-256", L"E7CAEA4C4C1C8F5EE362AE49543107D71D519FE3D26BAEA0AD6A80A86219A9F9"},
    {kLargePatternSize, L"Tiger", L"471BE85A71851FFE606D507685E04E952889BA8598964513"},
    {kLargePatternSize, L"Whirlpool", L"86B7FF4B6526E9AA9EA873D19349A7A30739A91FC77DEFF3B047945814FBDEE2"
                                      L"E1D1DCC473E21C31CA400BCE6E6610A165EFACF3134ED61AD379431BAAC98155"},
};

}  // namespace

DigestTable PatternDigests(std::size_t size, const std::vector<std::wstring>& algorithms)
{
    DigestTable all;
    for (const PatternDigest& row : kPatternDigests) {
        if (row.size == size)
            all[row.algorithm] = row.digest;
    }
    if (all.empty())
        ADD_FAILURE() << "no digests of PatternBytes(" << size << ")";
    if (algorithms.empty())
        return all;
    DigestTable chosen;
    for (const std::wstring& algorithm : algorithms) {
        const auto found = all.find(algorithm);
        if (found == all.end())
            ADD_FAILURE() << "no " << Narrow(algorithm) << " digest of PatternBytes(" << size << ")";
        else
            chosen.insert(*found);
    }
    return chosen;
}
