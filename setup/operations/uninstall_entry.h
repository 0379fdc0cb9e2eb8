#pragma once
// KOVA's entry in Windows' list of installed programs (Settings > Apps, Programs and Features):
// the key "Software\Microsoft\Windows\CurrentVersion\Uninstall\KOVA" under HKLM, in the program's own
// registry view (the 32-bit one for the 32-bit setup on 64-bit Windows, which the list shows too).
// Its values:
//   DisplayName      "KOVA"
//   DisplayVersion   the version this setup installs (string 26)
//   DisplayIcon      the kept copy of the setup program, whose icon is KOVA's: C:\KOVA\Setup.exe,0
//   InstallLocation  the installation directory
//   UninstallString  the kept copy of the setup program, quoted: "C:\KOVA\Setup.exe". It opens the
//                    setup dialog, which offers Update (the print defaults) and Uninstall.
//   EstimatedSize    the payload and the kept copy, in KiB, rounded up
//   NoRepair         1: the dialog has no repair (Update writes no files). NoModify is left out, so
//                    the list offers "Uninstall/Change" for the dialog that does both.
// No publisher is named: KOVA's is not known to the setup.
#include <cstdint>

#include "configuration/registry_keys.h"
#include "platform/ports.h"

// Writes the whole entry (a refresh rewrites it, so the version and the size follow the files).
// False when a key or value could not be written; the caller removes what was written.
bool WriteUninstallEntry(Platform& platform, const char* directory, uint64_t installedBytes);
void RemoveUninstallEntry(Registry& registry);
