#pragma once
// Digest case, stored language and language module, kept under
// HKCU\SOFTWARE\Tallyra\Settings. A configuration without a language module
// keeps the case alone: the language fields stay empty.
#include <atomic>
#include <mutex>
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
    // Writes the case and the language; the language module is written only
    // when the user chooses one (SetLanguageModule).
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
    // The language module's file name, relative to the extension's folder;
    // empty for the built-in texts. Read when an extension object is made.
    std::wstring LanguageModule() const;
    // The user's choice from the settings dialog: written at once, and used
    // from the next extension object on (the one in force stays until its
    // pages are gone).
    void SetLanguageModule(const std::wstring& module);

private:
    std::atomic<bool> useLowercase{false};
    bool languageStored = false;
    LANGID languageId = 0;
    mutable std::mutex languageModuleLock;  // a dialog may set it while another thread reads it
    std::wstring languageModule;
};

extern const wchar_t kSettingsKeyPath[];
