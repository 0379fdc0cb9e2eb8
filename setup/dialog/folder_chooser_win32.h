#pragma once
#include <windows.h>

// The Change button: the save-file dialog turned into a folder chooser, opened at the folder edit
// 1030 names (or the nearest one above it that exists). The folder open in it when the user
// confirms with "Install" goes into edit 1030; Cancel leaves the field exactly as it was.
void ChooseInstallationDirectory(HWND dialog);

// Hook of the chooser: hides the file fields, relabels the folder label and the OK button, and
// takes the open folder on confirmation.
UINT_PTR CALLBACK FolderChooserHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
