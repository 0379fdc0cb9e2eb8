#pragma once
// RemoveInstallation: the Uninstall command. Records the uninstall under way, removes the shell
// verbs and the list entry in a fixed order, then the payload files, then the stored configuration
// with the record; tells the user what is left to delete by hand, offers to open the installation
// directory in Explorer (not after a file removal that failed, whose message has named what is
// left), and ends the program.
#include "configuration/setup_dialog_record.h"
#include "platform/desktop.h"
#include "platform/ports.h"

inline constexpr char kUninstallErrorCaption[] = "Error";
inline constexpr char kUninstallSuccessCaption[] = "Success";

// Returns true when KOVA was removed and the program's end requested; false when a registry key
// could not be deleted (the user has been told, the dialog goes on). A key that is already gone
// counts as deleted, so an uninstall stopped halfway can be finished by pressing Uninstall again.
bool RemoveInstallation(Platform& platform, ProgramLauncher& launcher, QuitRequest& quit, const SetupDialog& record);
