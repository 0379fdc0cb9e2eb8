// A program planted where a setup must never look for one (beside Setup.exe, in the current
// directory): when it runs, it leaves "planted-ran.txt" beside itself with its command line.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    char path[MAX_PATH + 32];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    char* name = path + length;
    while (name > path && name[-1] != '\\') --name;
    lstrcpyA(name, "planted-ran.txt");
    const HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(marker, commandLine, lstrlenA(commandLine), &written, nullptr);
    CloseHandle(marker);
    return 0;
}
