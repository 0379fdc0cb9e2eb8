// Entry point: limits the library search to the system directory, keeps the instance, loads and
// initialises the common controls, fills the ControlGroupTable, runs build mode when asked, checks
// for an earlier installation, then runs the setup dialog.
#include <windows.h>

#include "build_mode.h"
#include "control_groups.h"
#include "dialog/dialog_procedure_win32.h"
#include "platform/system_libraries_win32.h"
#include "platform/win32_platform.h"
#include "resources/resource_ids.h"
#include "setup.h"
#include "startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int) {
    RestrictLibrarySearch();
    SetModuleInstance(instance);
    if (!StartCommonControls()) return 1;
    FillControlGroupTable(controlGroupTable);
    Platform& platform = Win32Platform();
    if (commandTail != nullptr && commandTail[0] != '\0' && IsBuildCommand(commandTail)) RunBuildMode(platform);
    CheckForUpgrade(platform);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, DialogProcedure, 0);
    return 0;
}
