// Stand-in for the installed KOVA.exe: appends its command line to KOVA.log beside itself and
// shows nothing, so tests can see what the shell verbs start.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    char* name = path + length;
    while (name > path && name[-1] != '\\') --name;
    if (static_cast<size_t>(name - path) + sizeof "KOVA.log" > MAX_PATH) return 1;
    lstrcpyA(name, "KOVA.log");

    const HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return 1;
    const char* commandLine = GetCommandLineA();
    DWORD written = 0;
    const BOOL ok = WriteFile(log, commandLine, static_cast<DWORD>(lstrlenA(commandLine)), &written, nullptr) &&
                    WriteFile(log, "\r\n", 2, &written, nullptr);
    CloseHandle(log);
    return ok ? 0 : 1;
}
