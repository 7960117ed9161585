#pragma once
// Digest case, stored language and language module, kept under
// HKCU\SOFTWARE\Tallyra\Settings. A configuration without a language module
// keeps the case alone: the language fields stay empty.
#include <atomic>
#include <string>
#include <windows.h>

class GeneralSettings {
public:
    enum class KeyAccess { CreateIfMissing, OpenExisting };

    // The process-wide record, read on first use (safe from any thread) and
    // written back when the module unloads.
    static GeneralSettings& Instance();

    // Reads the stored values; the extension creates the key when it is
    // missing, a reader that must change nothing only opens it.
    static GeneralSettings Load(KeyAccess access = KeyAccess::CreateIfMissing);
    // Writes the case and the language; the language module is only read.
    void Save() const;

    GeneralSettings() = default;
    GeneralSettings(const GeneralSettings& other);
    GeneralSettings& operator=(const GeneralSettings& other);

    // Read at every Finalize, possibly on a worker thread.
    bool UseLowercase() const { return useLowercase.load(); }
    // A change is written to the registry at once (and again at unload).
    void SetUseLowercase(bool lowercase);

    bool LanguageStored() const { return languageStored; }
    LANGID LanguageId() const { return languageId; }
    const std::wstring& LanguageModule() const { return languageModule; }

private:
    std::atomic<bool> useLowercase{false};
    bool languageStored = false;
    LANGID languageId = 0;
    std::wstring languageModule;
};

extern const wchar_t kSettingsKeyPath[];
