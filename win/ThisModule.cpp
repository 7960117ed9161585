#include "ThisModule.h"

// The linker's symbol for the first byte of the image: the module handle of
// whichever binary this object ends up in, without a DllMain to record it.
extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE ThisModule()
{
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}
