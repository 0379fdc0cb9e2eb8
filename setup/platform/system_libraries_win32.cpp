#include "platform/system_libraries_win32.h"

#include "text/text_format.h"

namespace {

void ShowLoadFailure(const char* name, DWORD error) {
    char text[256];
    FormatText(text, sizeof text,
               "Error: the Windows library \"%s\" could not be loaded from the system directory (error %lu).", name,
               static_cast<unsigned long>(error));
    MessageBoxA(nullptr, text, "Error", MB_OK | MB_ICONERROR);
}

// Old systems: the full path in the system directory, and that directory first for the libraries
// it imports in turn.
HMODULE LoadFromSystemDirectory(const char* name) {
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0) return nullptr;
    char path[MAX_PATH];
    if (length >= MAX_PATH || FormatText(path, sizeof path, "%s\\%s", directory, name) >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return nullptr;
    }
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void RestrictLibrarySearch() {
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    const FARPROC entry = GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    const auto setDefaultDirectories = reinterpret_cast<SetDefaultDirectories>(reinterpret_cast<void*>(entry));
    if (setDefaultDirectories == nullptr || !setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryA("");
}

FARPROC SystemLibraryEntry(const char* library, const char* entry) {
    HMODULE module = LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // A system without the search flags refuses them as an invalid parameter.
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) module = LoadFromSystemDirectory(library);
    const FARPROC address = module ? GetProcAddress(module, entry) : nullptr;
    if (address == nullptr) ShowLoadFailure(library, GetLastError());
    return address;
}

bool StartCommonControls() {
    using InitCommonControlsEntry = void(WINAPI*)();
    const auto initCommonControls =
        SystemLibraryFunction<InitCommonControlsEntry>("comctl32.dll", "InitCommonControls");
    if (initCommonControls == nullptr) return false;
    initCommonControls();
    return true;
}
