#pragma once
#include <windows.h>

// Runs the setup dialog (dialog template 107) until it ends.
void RunSetupDialog(HINSTANCE instance);
