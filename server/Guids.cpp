// The GUIDs of the type library, defined once for the module.
#include <initguid.h>

#include "server/TallyraLib.h"
