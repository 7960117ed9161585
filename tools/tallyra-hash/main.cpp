// tallyra-hash: the extension's digests on the command line, from the same
// catalogue and descriptors as the Properties page.
#include "AlgorithmChoice.h"
#include "ConsoleText.h"
#include "Options.h"
#include "engine/HashCatalogue.h"
#include "win/UniqueHandle.h"

#include <vector>

namespace {

constexpr DWORD kBlockSize = 102400;

// Hashes one file in one pass; false (after saying why) when it cannot be read.
bool HashFile(const std::wstring& path, std::vector<std::uint8_t>& buffer)
{
    win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD error = ERROR_SUCCESS;
    if (!file)
        error = ::GetLastError();

    const DescriptorList descriptors = HashCatalogue::Instance().CreateEnabled();
    while (!error) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer.data(), kBlockSize, &read, nullptr)) {
            error = ::GetLastError();
            break;
        }
        if (read == 0)
            break;
        for (const SharedDescriptor& descriptor : descriptors)
            descriptor->Update(buffer.data(), read);
    }
    if (error) {
        WriteText(STD_ERROR_HANDLE, L"tallyra-hash: " + path + L": " + SystemErrorText(error) + L"\n");
        return false;
    }

    std::wstring lines;
    for (const SharedDescriptor& descriptor : descriptors) {
        descriptor->Finalize();
        lines += descriptor->GetName() + L"\t" + descriptor->GetDigestText() + L"\t" + path + L"\n";
    }
    WriteText(STD_OUTPUT_HANDLE, lines);
    return true;
}

int Run(const std::vector<std::wstring>& arguments)
{
    const ParsedOptions parsed = ParseOptions(arguments);
    if (!parsed.error.empty()) {
        WriteText(STD_ERROR_HANDLE, L"tallyra-hash: " + parsed.error + L"\n\n" + kUsageText);
        return 2;
    }
    if (parsed.options.help) {
        WriteText(STD_OUTPUT_HANDLE, kUsageText);
        return 0;
    }

    static AlgorithmChoice choice;
    std::wstring error;
    if (!ChooseAlgorithms(parsed.options, choice, error)) {
        WriteText(STD_ERROR_HANDLE, L"tallyra-hash: " + error);
        return 2;
    }
    BindHashSettings(&choice);

    std::vector<std::uint8_t> buffer(kBlockSize);
    bool allHashed = true;
    for (const std::wstring& path : parsed.options.files)
        allHashed = HashFile(path, buffer) && allHashed;
    return allHashed ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    try {
        return Run(std::vector<std::wstring>(argv + 1, argv + argc));
    } catch (const std::bad_alloc&) {
        WriteText(STD_ERROR_HANDLE, L"tallyra-hash: out of memory\n");
    } catch (...) {
        WriteText(STD_ERROR_HANDLE, L"tallyra-hash: unexpected failure\n");
    }
    return 3;
}
