#pragma once
// The loader's search for libraries: an installer runs from a download folder, elevated, where any
// file may lie beside it. Only the system directory is searched, and the system libraries that are
// not among Windows' KnownDLLs (common controls, print spooler) are loaded from there by hand rather
// than imported.
#include <windows.h>

// Leaves the system directory as the only place the loader searches, before any other library is
// loaded. Where SetDefaultDllDirectories is missing (an old system), takes the current directory
// out of the search at least.
void RestrictLibrarySearch();

// The entry `entry` of the system library `library`, loaded from the system directory, never from
// the program's folder or the current directory. When the library or the entry is missing, tells the
// user which library could not be loaded and returns nullptr.
FARPROC SystemLibraryEntry(const char* library, const char* entry);

// The same, as a function of type `Function`.
template <class Function>
Function SystemLibraryFunction(const char* library, const char* entry) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemLibraryEntry(library, entry)));
}

// Loads the common controls from the system directory and registers their window classes, which
// the setup dialog's template needs. False, the user told, when the library cannot be loaded.
bool StartCommonControls();
