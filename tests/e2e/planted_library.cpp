// A library planted where a program might look for a system library (built as comctl32.dll and
// winspool.drv): when any process loads it, it leaves the file "<its own path>.ran" behind, so a
// scenario sees that a planted copy ran.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char marker[MAX_PATH + 8];
    const DWORD length = GetModuleFileNameA(self, marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    lstrcatA(marker, ".ran");
    const HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
