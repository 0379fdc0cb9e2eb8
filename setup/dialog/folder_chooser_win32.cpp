#include "dialog/folder_chooser_win32.h"

#include <commdlg.h>
#include <dlgs.h>

#include "platform/win32_platform.h"
#include "resources/resource_ids.h"

namespace {

// One chooser runs at a time: the record it writes to, from its initialisation until it closes.
SetupDialog* chooserRecord = nullptr;

constexpr DWORD kChooserFlags = OFN_EXPLORER | OFN_CREATEPROMPT | OFN_NOVALIDATE | OFN_ENABLEHOOK | OFN_HIDEREADONLY;
static_assert(kChooserFlags == 0x82124);

void PrepareChooser(HWND chooser, LPARAM request) {
    for (int control : {stc2, stc3}) SendMessageA(chooser, CDM_HIDECONTROL, control, 0);
    SendMessageA(chooser, CDM_SETCONTROLTEXT, stc4, reinterpret_cast<LPARAM>("Install to:"));
    for (int control : {chx1, edt1, cmb1, pshHelp}) SendMessageA(chooser, CDM_HIDECONTROL, control, 0);
    SendMessageA(chooser, CDM_SETCONTROLTEXT, IDOK, reinterpret_cast<LPARAM>("Install"));
    chooserRecord = reinterpret_cast<SetupDialog*>(reinterpret_cast<const OPENFILENAMEA*>(request)->lCustData);
}

}  // namespace

UINT_PTR CALLBACK FolderChooserHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    // The hook is a child of the platform's dialog, whose controls the messages address.
    const HWND chooser = GetParent(hook);
    if (message == WM_INITDIALOG) {
        PrepareChooser(chooser, lParam);
        return 1;
    }
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_FILEOK && chooserRecord) {
        char folder[kMaxPath] = {};
        if (SendMessageA(chooser, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder)) > 0) {
            lstrcpynA(chooserRecord->installationDirectory, folder, kMaxPath);
        }
        return 1;
    }
    return 0;
}

void ChooseInstallationDirectory(HWND dialog, SetupDialog& record) {
    // The file buffer starts empty: a path in it would open the chooser at the path's parent, so
    // confirming at once would move the directory one level up. The directory is what the hook
    // takes from the open folder.
    char file[kMaxPath] = {};
    OPENFILENAMEA request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = dialog;
    request.hInstance = ModuleInstance();
    request.lpstrFilter = "Directories\0*.\0";
    request.lpstrFile = file;
    request.nMaxFile = kMaxPath;
    request.lpstrInitialDir = record.installationDirectory;
    request.lpstrTitle = "Choose a directory to install to";
    request.Flags = kChooserFlags;
    request.lCustData = reinterpret_cast<LPARAM>(&record);
    request.lpfnHook = FolderChooserHook;
    // The common dialogs are loaded when the chooser is first needed rather than at every start:
    // with the libraries they pull in, they would hold up the appearance of the setup dialog.
    using SaveFileDialog = BOOL(WINAPI*)(OPENFILENAMEA*);
    static const HMODULE commonDialogs = LoadLibraryA("comdlg32.dll");
    const FARPROC entry = commonDialogs ? GetProcAddress(commonDialogs, "GetSaveFileNameA") : nullptr;
    const auto getSaveFileName = reinterpret_cast<SaveFileDialog>(reinterpret_cast<void*>(entry));
    if (getSaveFileName != nullptr) getSaveFileName(&request);
    chooserRecord = nullptr;
    SetDlgItemTextA(dialog, IDC_INSTALLATION_DIRECTORY, record.installationDirectory);
}
