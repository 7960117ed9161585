#include "AlgorithmChoice.h"

#include "engine/HashCatalogue.h"
#include "settings/AlgorithmFlags.h"
#include "settings/GeneralSettings.h"

#include <algorithm>
#include <cwctype>

namespace {

std::wstring Folded(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

std::wstring NameList(const DescriptorList& all)
{
    std::wstring list;
    for (const SharedDescriptor& descriptor : all)
        list += L"  " + descriptor->GetName() + L"\n";
    return list;
}

}  // namespace

bool ChooseAlgorithms(const Options& options, AlgorithmChoice& choice, std::wstring& error)
{
    const DescriptorList all = HashCatalogue::Instance().CreateAll();
    if (options.all) {
        for (const SharedDescriptor& descriptor : all)
            choice.names.insert(descriptor->GetName());
    }
    for (const std::wstring& wanted : options.algorithms) {
        const auto match = std::find_if(all.begin(), all.end(), [&](const SharedDescriptor& descriptor) {
            return Folded(descriptor->GetName()) == Folded(wanted);
        });
        if (match == all.end()) {
            error = L"unknown algorithm '" + wanted + L"'. Valid names:\n" + NameList(all);
            return false;
        }
        choice.names.insert((*match)->GetName());
    }

    const GeneralSettings stored = GeneralSettings::Load(GeneralSettings::KeyAccess::OpenExisting);
    choice.lowercase = options.lowercase || stored.UseLowercase();

    if (choice.names.empty()) {
        const AlgorithmFlags stored = AlgorithmFlags::Load(all);
        for (const auto& [name, enabled] : stored.Entries()) {
            if (enabled)
                choice.names.insert(name);
        }
        if (choice.names.empty()) {
            error = L"no algorithm is enabled in the settings; choose some with --algo NAME or --all\n";
            return false;
        }
    }
    return true;
}
