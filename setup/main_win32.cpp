// Entry point: keeps the own file open, limits the library search to the system directory, keeps the
// instance, loads and initialises the common controls, runs build mode when asked, completes work
// that an interrupted setup left unfinished, checks for an earlier installation, then runs the setup
// dialog.
//
// The image is linked without the C runtime's start-up code (-nostartfiles), which would add several
// kilobytes for what the program never uses (argument vectors, thread-local storage, exit handlers,
// floating-point set-up). WinMainCRTStartup below is the whole of it: the static constructors,
// WinMain with the command-line tail, and ExitProcess with WinMain's result. Before all of that it
// sets the guard of the stack canaries (setup/stack_guard_win32.cpp).
#include <windows.h>

#include "dialog/dialog_procedure_win32.h"
#include "operations/build_mode.h"
#include "platform/desktop_win32.h"
#include "platform/platform_win32.h"
#include "platform/system_libraries_win32.h"
#include "resources/resource_ids.h"
#include "setup.h"
#include "stack_guard_win32.h"
#include "startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int) {
    KeepOwnFile();
    RestrictLibrarySearch();
    SetModuleInstance(instance);
    if (!StartCommonControls()) return 1;
    Platform& platform = Win32Platform();
    if (commandTail != nullptr && commandTail[0] != '\0' && IsBuildCommand(commandTail)) RunBuildMode(platform);
    if (FinishUnfinishedWork(platform, Win32Launcher(), Win32QuitRequest())) return 0;
    CheckForUpgrade(platform);
    RunSetupDialog(instance);
    return 0;
}

// The linker gathers the static constructors between a -1 and a 0 in __CTOR_LIST__; they run from
// the last to the first, as the compiler's own start-up code runs them.
extern "C" void (*__CTOR_LIST__[])();

namespace {

void RunStaticConstructors() {
    size_t count = 1;
    while (__CTOR_LIST__[count] != nullptr) ++count;
    while (--count > 0) __CTOR_LIST__[count]();
}

}  // namespace

// Static objects register their destructors here. None is ever run: the process ends with
// ExitProcess, and the system releases whatever those objects hold.
extern "C" int atexit(void (*)()) { return 0; }

extern "C" __attribute__((used, no_stack_protector)) void WinMainCRTStartup() {
    SetStackGuard();
    RunStaticConstructors();
    char* tail = const_cast<char*>(CommandTail(GetCommandLineA()));
    ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, tail, SW_SHOWDEFAULT)));
}
