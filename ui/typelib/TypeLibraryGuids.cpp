// The GUIDs of the type library, defined once for every binary that uses them.
#include <initguid.h>

#include "ui/typelib/TallyraLib.h"
