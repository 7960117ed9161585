#pragma once
// Whether the module is being unloaded because the process ends (its
// DLL_PROCESS_DETACH came from ExitProcess). Then every other thread is
// already gone, perhaps holding a lock, and Windows asks a module to clean up
// nothing: what would be saved or released at unload is left to the system.
namespace win {

bool ProcessIsTerminating() noexcept;
// Called by the module's entry point when the process ends.
void NoteProcessTerminating() noexcept;

}  // namespace win
