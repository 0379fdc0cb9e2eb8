// Local printers, TrueType faces, program start, quit request and the Programs folder.
#include "platform/desktop_win32.h"

#include <shlobj.h>
#include <winspool.h>

#include "platform/byte_buffer.h"
#include "platform/system_libraries_win32.h"

namespace {

class SpoolerPrinters final : public Printers {
public:
    // The first call learns the size of the PRINTER_INFO_1 array, the second fills it. A printer
    // added between the two makes the second call fail: counted as no printers, like any failure.
    int EnumerateLocal(NameSink& names) override {
        // The spooler is no KnownDLL: it comes from the system directory, loaded once.
        using EnumPrintersEntry = decltype(&EnumPrintersA);
        static const auto enumPrinters = SystemLibraryFunction<EnumPrintersEntry>("winspool.drv", "EnumPrintersA");
        if (enumPrinters == nullptr) return 0;
        DWORD needed = 0;
        DWORD returned = 0;
        enumPrinters(PRINTER_ENUM_LOCAL, nullptr, 1, nullptr, 0, &needed, &returned);
        if (needed == 0) return 0;
        ByteBuffer buffer;
        if (!buffer.Allocate(needed)) return 0;
        returned = 0;
        if (!enumPrinters(PRINTER_ENUM_LOCAL, nullptr, 1, buffer.data(), needed, &needed, &returned)) return 0;
        const auto* printers = reinterpret_cast<const PRINTER_INFO_1A*>(buffer.data());
        for (DWORD i = 0; i < returned; ++i) {
            if (printers[i].pName != nullptr) names.Add(printers[i].pName);
        }
        return static_cast<int>(returned);
    }
};

class WinExecLauncher final : public ProgramLauncher {
public:
    bool Start(const char* commandLine) override { return WinExec(commandLine, SW_SHOW) > 31; }
};

class PostedQuit final : public QuitRequest {
public:
    void Post(int exitCode) override { PostQuitMessage(exitCode); }
};

class ShellProgramsFolder final : public ProgramsFolder {
public:
    bool Path(char (&path)[kMaxPath]) override {
        path[0] = '\0';
        if (SHGetSpecialFolderPathA(nullptr, path, CSIDL_COMMON_PROGRAMS, FALSE)) return true;
        path[0] = '\0';
        return false;
    }
};

}  // namespace

int CALLBACK AddTrueTypeFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD fontType, LPARAM list) {
    if (fontType == TRUETYPE_FONTTYPE) {
        SendMessageA(reinterpret_cast<HWND>(list), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(font->lfFaceName));
    }
    return 1;
}

void Win32FontFaces::AddTrueTypeFaces(int listId) {
    LOGFONTA every = {};
    every.lfCharSet = ANSI_CHARSET;
    every.lfPitchAndFamily = 0;
    HDC dc = GetDC(dialog_);
    EnumFontFamiliesExA(dc, &every, AddTrueTypeFace, reinterpret_cast<LPARAM>(GetDlgItem(dialog_, listId)), 0);
    ReleaseDC(dialog_, dc);
}

Printers& Win32Printers() {
    static SpoolerPrinters printers;
    return printers;
}

ProgramLauncher& Win32Launcher() {
    static WinExecLauncher launcher;
    return launcher;
}

QuitRequest& Win32QuitRequest() {
    static PostedQuit quit;
    return quit;
}

ProgramsFolder& Win32ProgramsFolder() {
    static ShellProgramsFolder folder;
    return folder;
}
