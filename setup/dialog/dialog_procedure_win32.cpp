// The setup dialog: one procedure that dispatches on the message and the control ID.
#include "dialog/dialog_procedure_win32.h"

#include "text_format.h"

#include "platform/win32_platform.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kStringCapacity = 255;

void SetProgramIcon(HWND dialog) {
    const HICON icon = LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(IDI_PROGRAM));
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void SetCaption(HWND dialog, Strings& strings) {
    char format[kStringCapacity];
    char version[kStringCapacity];
    char caption[kStringCapacity + 1];
    strings.Load(IDS_CAPTION_FORMAT, format, kStringCapacity);
    strings.Load(IDS_VERSION, version, kStringCapacity);
    FormatText(caption, sizeof caption, format, version);
    SendMessageA(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption));
}

BOOL OnInitDialog(HWND dialog) {
    Platform& platform = Win32Platform();
    SetProgramIcon(dialog);
    SetCaption(dialog, platform.strings);
    return TRUE;
}

BOOL OnCommand(HWND dialog, int controlId) {
    switch (controlId) {
        case IDC_CANCEL_BUTTON:
            EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog);
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam));
        default:
            return FALSE;
    }
}
