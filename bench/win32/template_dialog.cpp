// The floor of the setup's start-up: dialog 107 from the setup's own resources, with a procedure
// that does nothing but name the window and close on Cancel. Whatever the setup needs beyond this
// program's time is its own work; the rest is the cost of the template itself.
#include <windows.h>
#include <commctrl.h>

#include "resources/resource_ids.h"

namespace {

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        SetWindowTextA(dialog, "Dialog 107");
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, Procedure, 0);
    return 0;
}
