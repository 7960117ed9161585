// tallyra-user-language: run once for every user at logon by Windows' Active
// Setup (the installer registers it). Names in the user's settings the
// language module of the user's interface language, found beside this
// program, unless the user has chosen already. No window, no console; the
// exit code says what it did (0 named, 1 the user's choice kept, 2 nothing
// fits, 3 the settings could not be written, 4 the extension was not found).
#include "settings/LanguageModules.h"
#include "settings/UserLanguageSetup.h"

#include <windows.h>

namespace {

// The extension beside this program: its file name without ".dll".
constexpr wchar_t kExtensionStem[] = L"Tallyra32";

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::optional<ModuleLocation> here = ThisModuleLocation();
    const std::optional<LanguageModuleFile> builtIn =
        here ? BuiltInLanguage(here->folder, kExtensionStem) : std::nullopt;
    if (!builtIn)
        return 4;
    const auto modules = FindLanguageModules(here->folder, kExtensionStem);
    switch (NameLanguageModuleForUser(modules, builtIn->language, ::GetUserDefaultUILanguage())) {
    case UserLanguageSetup::Named: return 0;
    case UserLanguageSetup::ChoiceKept: return 1;
    case UserLanguageSetup::NoneFits: return 2;
    case UserLanguageSetup::WriteFailed: return 3;
    }
    return 3;
}
