#pragma once
// The Win32 side of the ports, and the module instance handle that every resource load uses.
#include <windows.h>

#include "platform/ports.h"

void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();

// The process-wide set of Win32 adapters.
Platform& Win32Platform();
