// The code built for the full configuration reads its values here; every
// configuration's are side by side in config/Configurations.h.
#pragma once
#include "config/Configurations.h"

inline constexpr const Configuration& kConfiguration = configurations::kFull;

#include "config/FeatureNames.h"
