#pragma once
// What the module does around its page, which differs with the kind of page
// a configuration has: CataloguePageServices.cpp for the catalogue's page
// (the engine bound to the user's settings and the resource texts, the
// language module), CompactPageServices.cpp for the compact page (nothing
// to bind or load). config/CMakeLists.txt links the one that fits.
#include <windows.h>
#include <prsht.h>
#include <string>
#include <vector>

// While the module object is made and destroyed: the engine asks the user's
// settings which algorithms to run and the resources for its texts.
void BindEngineToSettingsAndTexts();
void UnbindEngineFromSettingsAndTexts() noexcept;
// Each time the shell makes a CHashPage, before it can add a page: the
// general settings read, the user's language module in force.
void LoadSettingsAndLanguageModule();
// The page for the file and its sheet page, which owns it from then on;
// null (and nothing left behind) on failure.
HPROPSHEETPAGE CreateHashPropertyPage(const std::wstring& path);
// The page for several items or a folder, where the configuration has one
// (features::kFilesPage); null otherwise, or on failure.
HPROPSHEETPAGE CreateFilesPropertyPage(const std::vector<std::wstring>& selection);
// The page of a checksum file (every line checked), where the configuration
// has the files page; null otherwise, or on failure.
HPROPSHEETPAGE CreateSumFilePropertyPage(const std::wstring& sumFile);
