// The algorithms of the configuration that a binary is built for: its one
// definition of RegisterConfiguredAlgorithms (engine/HashCatalogue.h).
#include "Features.h"
#include "engine/HashCatalogue.h"

static_assert(kConfiguration.registerAlgorithms != nullptr, "a configuration with a catalogue names its algorithms");

void RegisterConfiguredAlgorithms(HashCatalogue& catalogue)
{
    kConfiguration.registerAlgorithms(catalogue);
}
