// The code built for the compact configuration reads its values here; every
// configuration's are side by side in config/Configurations.h.
#pragma once
#include "config/Configurations.h"

inline constexpr const Configuration& kConfiguration = configurations::kCompact;

#include "config/FeatureNames.h"
