#pragma once
#include "engine/HashSettings.h"

// The engine's questions answered by the process-wide settings store.
const IHashSettings& StoredHashSettings();
