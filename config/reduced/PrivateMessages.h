// The job's report message, WM_HASHDATA_NOTIFY (config/FeatureNames.h), for
// the code that includes it by this name.
#pragma once
#include "Features.h"
