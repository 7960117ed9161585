#pragma once
#include "engine/HashTexts.h"

// The engine's texts from the resource instance: the language module's
// string table while one is in force, this module's own otherwise.
const IHashTexts& ResourceTexts();
