// Test driver run under Wine beside Setup.exe: finds the setup's windows, presses its controls,
// answers its message boxes and reports control state on standard output.
//
//   e2e-driver wait-window TITLE [SECONDS]      exit 0 once a visible top-level window TITLE exists
//   e2e-driver wait-gone TITLE [SECONDS]        exit 0 once no window TITLE exists
//   e2e-driver command TITLE ID                 WM_COMMAND (BN_CLICKED) for control ID
//   e2e-driver click TITLE ID                   BM_CLICK on control ID
//   e2e-driver close TITLE                      the close box (SC_CLOSE)
//   e2e-driver select-tab TITLE INDEX           select a tab of control 1000 as a click would
//   e2e-driver state TITLE ID                   "visible=V enabled=E checked=C text=T"
//   e2e-driver combo TITLE ID                   "selection=N count=M text=T"
//   e2e-driver answer CAPTION BUTTON [SECONDS]  print the box's text, then press BUTTON (1 OK, 6 Yes, 7 No)
//   e2e-driver box-text CAPTION [SECONDS]       print the text of a message box once it is shown
//   e2e-driver rect TITLE ID                    "left top right bottom" of control ID on the screen
//   e2e-driver hold PATH SECONDS                keep the file PATH open, shared with no one, for SECONDS;
//                                               prints "held" once it is open
//   e2e-driver windows -                        the titles of the visible top-level windows, one a line
//   e2e-driver window-rect TITLE                "left top right bottom" of the window TITLE on the screen
//   e2e-driver focus TITLE                      "ID CLASS" of the control that has the keyboard focus
//   e2e-driver selected-tab TITLE               the index of the selected tab of control 1000
//   e2e-driver invalidate-down-to TITLE ID OTHER
//                                               invalidate control ID from its top down to the bottom of control
//                                               OTHER, over its whole width, and have ID repaint that (OTHER
//                                               itself is not invalidated)
//   e2e-driver invalidate-above TITLE ID OTHER  the same from the top of ID down to the top of control OTHER
//   e2e-driver unclip-siblings TITLE ID         take WS_CLIPSIBLINGS from the style of control ID
//   e2e-driver list-item TITLE NAME             "left top right bottom" on the screen of the entry NAME
//                                               in the folder list of a file dialog TITLE
//   e2e-driver set-text TITLE ID TEXT           WM_SETTEXT on control ID
//   e2e-driver combo-select TITLE ID INDEX      select entry INDEX of a list and notify the dialog
//   e2e-driver run COMMANDLINE                  start a program as the shell would, wait, print its exit code
//   e2e-driver time-to-window COMMANDLINE TITLE  milliseconds from starting a program to its visible
//                                               window TITLE; then cancels it (IDCANCEL) and waits
//   e2e-driver serve                            one process for many commands, so that a scenario starts
//                                               Wine once for them: each line of standard input is
//                                               TAG, COMMAND and its arguments separated by tabs; the
//                                               command's output follows on standard output, ended by a
//                                               line "\x1fTAG STATUS" with its exit code. A command that
//                                               finds no window or control ends the process with 1, as
//                                               it ends a process of its own.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND FindVisible(const char* title) {
    HWND window = FindWindowA(nullptr, title);
    return window && IsWindowVisible(window) ? window : nullptr;
}

HWND WaitWindow(const char* title, double seconds) {
    for (DWORD waited = 0; waited <= static_cast<DWORD>(seconds * 1000); waited += 100) {
        if (HWND window = FindVisible(title)) return window;
        Sleep(100);
    }
    return nullptr;
}

HWND RequireWindow(const char* title) {
    HWND window = WaitWindow(title, 10);
    if (!window) {
        std::fprintf(stderr, "e2e-driver: no window \"%s\"\n", title);
        std::exit(1);
    }
    return window;
}

HWND RequireControl(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        std::fprintf(stderr, "e2e-driver: no control %d\n", id);
        std::exit(1);
    }
    return control;
}

void PrintText(HWND window) {
    char text[2048] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    std::printf("%s", text);
}

// The text of a message box is its static control 0xFFFF.
void PrintMessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    if (text) PrintText(text);
    std::printf("\n");
}

// The rectangle of a list-view entry, read through memory in the list's own process: list-view
// messages carry pointers, which the system does not carry across processes.
bool ListItemRect(HWND list, const char* name, RECT& rect) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return false;
    constexpr SIZE_T kTextSize = 512;
    auto* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + kTextSize, MEM_COMMIT, PAGE_READWRITE));
    bool found = false;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int index = 0; remote && index < count && !found; ++index) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = remote + sizeof(LVITEMA);
        item.cchTextMax = kTextSize;
        char text[kTextSize] = {};
        WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        SendMessageA(list, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote + sizeof(LVITEMA), text, kTextSize - 1, nullptr);
        if (lstrcmpiA(text, name) != 0) continue;
        RECT wanted = {};
        wanted.left = LVIR_LABEL;
        WriteProcessMemory(process, remote, &wanted, sizeof wanted, nullptr);
        if (SendMessageA(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote))) {
            ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
            MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
            found = true;
        }
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return found;
}

BOOL CALLBACK PrintVisibleTitle(HWND window, LPARAM) {
    char title[512] = {};
    if (IsWindowVisible(window) && GetWindowTextA(window, title, sizeof title) > 0) std::printf("%s\n", title);
    return TRUE;
}

int Usage() {
    std::fprintf(stderr, "usage: e2e-driver COMMAND ARGS (see the source for the commands)\n");
    return 2;
}

int RunCommand(int argc, char** argv) {
    if (argc < 3) return Usage();
    const char* command = argv[1];
    const char* title = argv[2];
    const double seconds = argc > 3 ? std::atof(argv[3]) : 10.0;

    if (!std::strcmp(command, "wait-window")) return WaitWindow(title, seconds) ? 0 : 1;
    if (!std::strcmp(command, "wait-gone")) {
        for (DWORD waited = 0; waited <= static_cast<DWORD>(seconds * 1000); waited += 100) {
            if (!FindWindowA(nullptr, title)) return 0;
            Sleep(100);
        }
        return 1;
    }
    if (!std::strcmp(command, "box-text")) {
        HWND box = WaitWindow(title, seconds);
        if (!box) {
            std::fprintf(stderr, "e2e-driver: no message box \"%s\"\n", title);
            return 1;
        }
        PrintMessageBoxText(box);
        return 0;
    }
    if (!std::strcmp(command, "answer")) {
        if (argc < 4) return Usage();
        const double wait = argc > 4 ? std::atof(argv[4]) : 10.0;
        HWND box = WaitWindow(title, wait);
        if (!box) {
            std::fprintf(stderr, "e2e-driver: no message box \"%s\"\n", title);
            return 1;
        }
        PrintMessageBoxText(box);
        const int button = std::atoi(argv[3]);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        return 0;
    }
    if (!std::strcmp(command, "run")) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        char commandLine[4096];
        lstrcpynA(commandLine, title, sizeof commandLine);
        if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            std::fprintf(stderr, "e2e-driver: cannot start %s (error %lu)\n", title, GetLastError());
            return 1;
        }
        WaitForSingleObject(process.hProcess, 30000);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        std::printf("%lu\n", code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return 0;
    }
    if (!std::strcmp(command, "time-to-window")) {
        if (argc < 4) return Usage();
        LARGE_INTEGER frequency, start, now;
        QueryPerformanceFrequency(&frequency);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        char commandLine[4096];
        lstrcpynA(commandLine, title, sizeof commandLine);
        QueryPerformanceCounter(&start);
        if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            return 1;
        }
        HWND window = nullptr;
        for (int tries = 0; tries < 60000 && !(window = FindVisible(argv[3])); ++tries) Sleep(1);
        QueryPerformanceCounter(&now);
        if (!window) return 1;
        std::printf("%.1f\n", 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        WaitForSingleObject(process.hProcess, 30000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return 0;
    }
    if (!std::strcmp(command, "close")) {
        PostMessageA(RequireWindow(title), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
    if (!std::strcmp(command, "windows")) {
        EnumWindows(PrintVisibleTitle, 0);
        return 0;
    }
    if (!std::strcmp(command, "hold")) {
        const HANDLE file = CreateFileA(title, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        std::printf("held\n");
        std::fflush(stdout);
        Sleep(static_cast<DWORD>(seconds * 1000));
        CloseHandle(file);
        return 0;
    }
    if (!std::strcmp(command, "window-rect")) {
        RECT rect;
        GetWindowRect(RequireWindow(title), &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        return 0;
    }
    if (!std::strcmp(command, "focus")) {
        // The focus belongs to the thread of the window's owner; GetFocus would answer for ours.
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(RequireWindow(title), nullptr), &info) || !info.hwndFocus) {
            std::printf("none\n");
            return 0;
        }
        char className[64] = {};
        GetClassNameA(info.hwndFocus, className, sizeof className);
        std::printf("%d %s\n", GetDlgCtrlID(info.hwndFocus), className);
        return 0;
    }
    if (!std::strcmp(command, "selected-tab")) {
        HWND tabs = RequireControl(RequireWindow(title), 1000);
        std::printf("%d\n", static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    if (argc < 4) return Usage();
    HWND dialog = RequireWindow(title);
    const int id = std::atoi(argv[3]);
    if (!std::strcmp(command, "command")) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
        return 0;
    }
    if (!std::strcmp(command, "click")) {
        PostMessageA(RequireControl(dialog, id), BM_CLICK, 0, 0);
        return 0;
    }
    if (!std::strcmp(command, "select-tab")) {
        SendMessageA(RequireControl(dialog, 1000), TCM_SETCURFOCUS, static_cast<WPARAM>(id), 0);
        return 0;
    }
    if (!std::strcmp(command, "list-item")) {
        const HWND view = FindWindowExA(dialog, nullptr, "SHELLDLL_DefView", nullptr);
        const HWND list = view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
        RECT rect;
        if (!list || !ListItemRect(list, argv[3], rect)) {
            std::fprintf(stderr, "e2e-driver: no entry \"%s\" in the folder list\n", argv[3]);
            return 1;
        }
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        return 0;
    }
    if (!std::strcmp(command, "rect")) {
        RECT rect;
        GetWindowRect(RequireControl(dialog, id), &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        return 0;
    }
    if (!std::strcmp(command, "invalidate-down-to") || !std::strcmp(command, "invalidate-above")) {
        if (argc < 5) return Usage();
        HWND control = RequireControl(dialog, id);
        RECT other;
        GetWindowRect(RequireControl(dialog, std::atoi(argv[4])), &other);
        MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&other), 2);
        RECT part;
        GetClientRect(control, &part);
        part.bottom = std::strcmp(command, "invalidate-above") ? other.bottom : other.top;
        InvalidateRect(control, &part, TRUE);
        UpdateWindow(control);
        return 0;
    }
    if (!std::strcmp(command, "unclip-siblings")) {
        HWND control = RequireControl(dialog, id);
        SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) & ~WS_CLIPSIBLINGS);
        return 0;
    }
    if (!std::strcmp(command, "set-text")) {
        if (argc < 5) return Usage();
        SendMessageA(RequireControl(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
        return 0;
    }
    if (!std::strcmp(command, "combo-select")) {
        if (argc < 5) return Usage();
        HWND list = RequireControl(dialog, id);
        SendMessageA(list, CB_SETCURSEL, std::atoi(argv[4]), 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        return 0;
    }
    if (!std::strcmp(command, "state")) {
        HWND control = RequireControl(dialog, id);
        std::printf("visible=%d enabled=%d checked=%d text=", IsWindowVisible(control) ? 1 : 0,
                    IsWindowEnabled(control) ? 1 : 0, static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0)));
        PrintText(control);
        std::printf("\n");
        return 0;
    }
    if (!std::strcmp(command, "combo")) {
        HWND control = RequireControl(dialog, id);
        std::printf("selection=%d count=%d text=", static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0)),
                    static_cast<int>(SendMessageA(control, CB_GETCOUNT, 0, 0)));
        PrintText(control);
        std::printf("\n");
        return 0;
    }
    return Usage();
}

int Serve() {
    constexpr int kMaxArguments = 16;
    static char line[8192];
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        char* fields[kMaxArguments + 1] = {};
        int count = 0;
        for (char* field = line; field && count <= kMaxArguments; ++count) {
            fields[count] = field;
            field = std::strchr(field, '\t');
            if (field) *field++ = '\0';
        }
        // fields[0] is the tag; in its place RunCommand sees the program's name, as in argv.
        const char* tag = fields[0];
        fields[0] = const_cast<char*>("e2e-driver");
        const int status = RunCommand(count, fields);
        std::printf("\x1f%s %d\n", tag, status);
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && !std::strcmp(argv[1], "serve")) return Serve();
    return RunCommand(argc, argv);
}
