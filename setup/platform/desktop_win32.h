#pragma once
// The desktop ports over the print spooler, GDI font enumeration, WinExec, the message loop and
// the shell.
#include <windows.h>

#include "platform/desktop.h"

// The font enumeration callback: adds the face of a TrueType font to the list window `list`;
// every other font type is passed over. Always asks for the next font.
int CALLBACK AddTrueTypeFace(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD fontType, LPARAM list);

// The TrueType faces of the screen, added to the lists of `dialog`.
class Win32FontFaces final : public FontFaces {
public:
    explicit Win32FontFaces(HWND dialog) : dialog_(dialog) {}
    void AddTrueTypeFaces(int listId) override;

private:
    HWND dialog_;
};

Printers& Win32Printers();
ProgramLauncher& Win32Launcher();
QuitRequest& Win32QuitRequest();
ProgramsFolder& Win32ProgramsFolder();
