// tallyra-hash: the extension's digests on the command line, from the same
// catalogue and descriptors as the Properties page.
#include "ConsoleText.h"
#include "Options.h"
#include "engine/HashCatalogue.h"
#include "settings/AlgorithmFlags.h"
#include "settings/GeneralSettings.h"
#include "win/UniqueHandle.h"

#include <algorithm>
#include <cwctype>
#include <set>
#include <vector>

namespace {

constexpr DWORD kBlockSize = 102400;

// The algorithms and case chosen for this run; never written back.
class ChosenSettings final : public IHashSettings {
public:
    std::set<std::wstring> names;
    bool lowercase = false;

    bool IsEnabled(const std::wstring& name) const override { return names.count(name) != 0; }
    bool UseLowercase() const override { return lowercase; }
};

std::wstring Folded(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

std::wstring ValidNames()
{
    std::wstring list;
    for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll())
        list += L"  " + descriptor->GetName() + L"\n";
    return list;
}

// Fills the choice from the options; false (after saying why) when it cannot.
bool ChooseAlgorithms(const Options& options, ChosenSettings& chosen)
{
    const DescriptorList all = HashCatalogue::Instance().CreateAll();
    if (options.all) {
        for (const SharedDescriptor& descriptor : all)
            chosen.names.insert(descriptor->GetName());
    }
    for (const std::wstring& wanted : options.algorithms) {
        const auto match = std::find_if(all.begin(), all.end(), [&](const SharedDescriptor& descriptor) {
            return Folded(descriptor->GetName()) == Folded(wanted);
        });
        if (match == all.end()) {
            WriteText(STD_ERROR_HANDLE, L"tallyra-hash: unknown algorithm '" + wanted + L"'. Valid names:\n" + ValidNames());
            return false;
        }
        chosen.names.insert((*match)->GetName());
    }

    const GeneralSettings stored = GeneralSettings::Load(GeneralSettings::KeyAccess::OpenExisting);
    chosen.lowercase = options.lowercase || stored.UseLowercase();

    if (chosen.names.empty()) {
        const AlgorithmFlags flags = AlgorithmFlags::Load(all);
        for (const auto& [name, enabled] : flags.Entries()) {
            if (enabled)
                chosen.names.insert(name);
        }
        if (chosen.names.empty()) {
            WriteText(STD_ERROR_HANDLE,
                      L"tallyra-hash: no algorithm is enabled in the settings; choose some with --algo NAME or --all\n");
            return false;
        }
    }
    return true;
}

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

    static ChosenSettings chosen;
    if (!ChooseAlgorithms(parsed.options, chosen))
        return 2;
    BindHashSettings(&chosen);

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
