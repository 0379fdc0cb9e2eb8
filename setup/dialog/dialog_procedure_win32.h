#pragma once
#include <windows.h>

// The setup dialog's procedure (dialog template 107).
INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
