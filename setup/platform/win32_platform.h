#pragma once
// The Win32 side of the ports, and the module instance handle that every resource load uses.
#include <windows.h>

#include "platform/ports.h"

void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();

// Opens the program's own file, which carries the archive, once, first thing at start: every later
// read of the archive goes through this handle, which shares neither writing nor renaming, so what
// the administrator consented to start is what gets installed, even if the path names another
// file later. A file at that path that is not the one the process was started from is not kept,
// and the setup then reports its own file as unreadable.
void KeepOwnFile();

// The process-wide set of Win32 adapters.
Platform& Win32Platform();
