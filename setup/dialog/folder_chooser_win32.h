#pragma once
#include <windows.h>

#include "setup_dialog_record.h"

// The Change button: the save-file dialog turned into a folder chooser. The folder open in it when
// the user confirms with "Install" becomes `installationDirectory`; edit 1030 then shows the
// directory, changed or not.
void ChooseInstallationDirectory(HWND dialog, SetupDialog& record);

// Hook of the chooser: hides the file fields, relabels the folder label and the OK button, and
// takes the open folder on confirmation.
UINT_PTR CALLBACK FolderChooserHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
