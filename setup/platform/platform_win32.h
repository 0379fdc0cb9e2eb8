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

// Message boxes that belong to `owner`, or to no window while it is nullptr. A box that belongs to a
// window disables the window while it is up, so that nothing in it changes under the box, and hands
// the activation back to it, with the focus it had, when the box closes.
class Win32Messages final : public Messages {
public:
    int Show(const char* text, const char* caption, uint32_t style) override;
    HWND owner = nullptr;
};

// The process-wide set of Win32 adapters; its message boxes belong to no window.
Platform& Win32Platform();

// The same adapters with `messages` for the message boxes.
Platform Win32PlatformWith(Messages& messages);
