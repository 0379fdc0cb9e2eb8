#include "dialog/folder_chooser_win32.h"

#include <commdlg.h>
#include <dlgs.h>

#include "dialog/installation_directory.h"
#include "platform/platform_win32.h"
#include "resources/resource_ids.h"
#include "text/text_format.h"

namespace {

constexpr DWORD kChooserFlags = OFN_EXPLORER | OFN_CREATEPROMPT | OFN_NOVALIDATE | OFN_ENABLEHOOK | OFN_HIDEREADONLY;
static_assert(kChooserFlags == 0x82124);

constexpr size_t kPlaceholderCapacity = 32;

// The platform confirms (CDN_FILEOK) only with a name in the file-name field, which the chooser
// hides; with a name of a subfolder there, Install would open that subfolder instead. So the field
// holds a name that nothing in `folder` has; the result is the open folder, not this name.
void PickPlaceholder(const char* folder, char (&name)[kPlaceholderCapacity]) {
    char path[kMaxPath + kPlaceholderCapacity];
    for (int attempt = 0; attempt < 100; ++attempt) {
        FormatText(name, sizeof name, "KOVA folder %d", attempt);
        FormatText(path, sizeof path, "%s\\%s", folder, name);
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return;
    }
}

// Run again whenever the folder or the selection changes: the platform then renames the OK button
// ("Save", "Open") and may put a selected name into the file-name field.
void KeepInstallReady(HWND chooser) {
    char folder[kMaxPath] = {};
    SendMessageA(chooser, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
    char placeholder[kPlaceholderCapacity];
    PickPlaceholder(folder, placeholder);
    SendMessageA(chooser, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(placeholder));
    SendMessageA(chooser, CDM_SETCONTROLTEXT, IDOK, reinterpret_cast<LPARAM>("Install"));
}

bool IsExistingFolder(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void PrepareChooser(HWND chooser) {
    for (int control : {stc2, stc3}) SendMessageA(chooser, CDM_HIDECONTROL, control, 0);
    SendMessageA(chooser, CDM_SETCONTROLTEXT, stc4, reinterpret_cast<LPARAM>("Install to:"));
    for (int control : {chx1, edt1, cmb1, pshHelp}) SendMessageA(chooser, CDM_HIDECONTROL, control, 0);
    SendMessageA(chooser, CDM_SETCONTROLTEXT, IDOK, reinterpret_cast<LPARAM>("Install"));
}

}  // namespace

UINT_PTR CALLBACK FolderChooserHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    // The hook is a child of the platform's dialog, whose controls the messages address.
    const HWND chooser = GetParent(hook);
    if (message == WM_INITDIALOG) {
        PrepareChooser(chooser);
        return 1;
    }
    if (message != WM_NOTIFY) return 0;
    switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
        case CDN_INITDONE:
        case CDN_FOLDERCHANGE:
        case CDN_SELCHANGE:
            KeepInstallReady(chooser);
            return 0;
        case CDN_FILEOK: {
            // The buffer for the chosen folder travels with the request, as its custom data.
            const auto* notice = reinterpret_cast<const OFNOTIFYA*>(lParam);
            auto* chosen = reinterpret_cast<char*>(notice->lpOFN->lCustData);
            if (SendMessageA(chooser, CDM_GETFOLDERPATH, kMaxPath, reinterpret_cast<LPARAM>(chosen)) <= 0) {
                chosen[0] = '\0';
            }
            return 1;
        }
        default:
            return 0;
    }
}

void ChooseInstallationDirectory(HWND dialog) {
    char typed[kMaxPath] = {};
    GetDlgItemTextA(dialog, IDC_INSTALLATION_DIRECTORY, typed, kMaxPath);
    char start[kMaxPath];
    ChooserStartFolder(typed, IsExistingFolder, start);
    // The file buffer holds a bare placeholder name, not a path: a path would open the chooser at
    // its parent, and an empty buffer gives the platform nothing to confirm. With the start folder
    // as the initial folder, the chooser opens at that folder itself.
    char file[kMaxPath] = {};
    char placeholder[kPlaceholderCapacity];
    PickPlaceholder(start, placeholder);
    lstrcpynA(file, placeholder, kMaxPath);
    char chosen[kMaxPath] = {};
    OPENFILENAMEA request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = dialog;
    request.hInstance = ModuleInstance();
    request.lpstrFilter = "Directories\0*.\0";
    request.lpstrFile = file;
    request.nMaxFile = kMaxPath;
    request.lpstrInitialDir = start;
    request.lpstrTitle = "Choose a directory to install to";
    request.Flags = kChooserFlags;
    request.lCustData = reinterpret_cast<LPARAM>(chosen);
    request.lpfnHook = FolderChooserHook;
    // The common dialogs are loaded when the chooser is first needed rather than at every start:
    // with the libraries they pull in, they would hold up the appearance of the setup dialog.
    using SaveFileDialog = BOOL(WINAPI*)(OPENFILENAMEA*);
    static const HMODULE commonDialogs = LoadLibraryA("comdlg32.dll");
    const FARPROC entry = commonDialogs ? GetProcAddress(commonDialogs, "GetSaveFileNameA") : nullptr;
    const auto getSaveFileName = reinterpret_cast<SaveFileDialog>(reinterpret_cast<void*>(entry));
    if (getSaveFileName != nullptr && getSaveFileName(&request) && chosen[0] != '\0') {
        SetDlgItemTextA(dialog, IDC_INSTALLATION_DIRECTORY, chosen);
    }
}
