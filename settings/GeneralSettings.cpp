#include "GeneralSettings.h"

#include "Features.h"
#include "RegistryValues.h"
#include "win/ProcessTermination.h"

const wchar_t kSettingsKeyPath[] = L"SOFTWARE\\Tallyra\\Settings";

namespace {

constexpr size_t kLanguageModuleChars = 1024;  // with the terminating zero
constexpr DWORD kDefaultSublanguage = SUBLANG_DEFAULT;

}  // namespace

GeneralSettings::GeneralSettings(const GeneralSettings& other)
    : useLowercase(other.UseLowercase()),
      languageStored(other.languageStored),
      languageId(other.languageId),
      languageModule(other.LanguageModule())
{
}

GeneralSettings& GeneralSettings::operator=(const GeneralSettings& other)
{
    useLowercase.store(other.UseLowercase());
    languageStored = other.languageStored;
    languageId = other.languageId;
    std::wstring module = other.LanguageModule();
    std::lock_guard<std::mutex> lock(languageModuleLock);
    languageModule = std::move(module);
    return *this;
}

std::wstring GeneralSettings::LanguageModule() const
{
    std::lock_guard<std::mutex> lock(languageModuleLock);
    return languageModule;
}

void GeneralSettings::SetLanguageModule(const std::wstring& module)
{
    {
        std::lock_guard<std::mutex> lock(languageModuleLock);
        languageModule = module;
    }
    if (win::UniqueKey key = registry::CreateUserKey(kSettingsKeyPath, KEY_READ | KEY_WRITE))
        registry::SetString(key.get(), L"LanguageModule", module);
}

void GeneralSettings::SetUseLowercase(bool lowercase)
{
    if (useLowercase.exchange(lowercase) == lowercase)
        return;
    if (win::UniqueKey key = registry::CreateUserKey(kSettingsKeyPath, KEY_READ | KEY_WRITE))
        registry::SetDword(key.get(), L"UseLowercase", lowercase ? 1 : 0);
}

GeneralSettings& GeneralSettings::Instance()
{
    struct SavedAtUnload {
        GeneralSettings settings = GeneralSettings::Load();
        ~SavedAtUnload()
        {
            if (!win::ProcessIsTerminating())  // a change was written when it was made
                settings.Save();
        }
    };
    static SavedAtUnload instance;
    return instance.settings;
}

GeneralSettings GeneralSettings::Load(KeyAccess access)
{
    GeneralSettings loaded;
    win::UniqueKey key = access == KeyAccess::CreateIfMissing ? registry::CreateUserKey(kSettingsKeyPath, KEY_READ)
                                                              : registry::OpenUserKey(kSettingsKeyPath, KEY_READ);
    if (!key)
        return loaded;

    if (const auto lowercase = registry::QueryDword(key.get(), L"UseLowercase"))
        loaded.useLowercase = *lowercase != 0;
    // Without a language module the record is the case alone: the language
    // values are neither read nor written (nor deleted).
    if constexpr (features::kLanguageModule) {
        if (const auto primary = registry::QueryDword(key.get(), L"LanguageId")) {
            loaded.languageStored = true;
            const DWORD sublanguage = registry::QueryDword(key.get(), L"SublanguageId").value_or(kDefaultSublanguage);
            loaded.languageId = static_cast<LANGID>(sublanguage * 1024 + (*primary & 0xFFFF));
        }
        if (auto module = registry::QueryString(key.get(), L"LanguageModule", kLanguageModuleChars))
            loaded.languageModule = std::move(*module);
    }
    return loaded;
}

void GeneralSettings::Save() const
{
    win::UniqueKey key = registry::CreateUserKey(kSettingsKeyPath, KEY_READ | KEY_WRITE);
    if (!key)
        return;
    registry::SetDword(key.get(), L"UseLowercase", UseLowercase() ? 1 : 0);
    if constexpr (features::kLanguageModule) {
        if (languageStored) {
            registry::SetDword(key.get(), L"LanguageId", languageId & 0x3FF);
            registry::SetDword(key.get(), L"SublanguageId", languageId >> 10);
        } else {
            ::RegDeleteValueW(key.get(), L"LanguageId");
            ::RegDeleteValueW(key.get(), L"SublanguageId");
        }
    }
}
