#pragma once
// Where KOVA's files go and the strings that name them: the paths of the installed files and of
// the kept copy of the setup program, and the strings the shell verbs and the icon are registered
// with. Install, uninstall and the entry in the list of installed programs all build them here.
#include <cstddef>

#include "platform/ports.h"

// The name of the copy of the setup program kept in the installation directory.
inline constexpr char kSetupCopyName[] = "Setup.exe";

// The longest string built from the directory is the filtered command string, which adds 34
// characters to it; every built string must fit a path buffer (259 characters).
inline constexpr size_t kMaxInstallDirectoryLength = kMaxPath - 1 - 34;

// The strings the shell verbs and the icon are registered with, e.g. for C:\KOVA:
//   "C:\KOVA\KOVA.exe" dir="%1"                   (filtered adds " mode=filtered")
//   C:\KOVA\KOVA.exe,0
// A directory that ends in a backslash (a drive root such as C:\) gets no second one: C:\ gives
// "C:\KOVA.exe" dir="%1". Each returns false, with `out` empty, when the result would not fit.
bool BuildCommandString(char (&out)[kMaxPath], const char* directory, bool filtered);
bool BuildIconString(char (&out)[kMaxPath], const char* directory);
// folder, a backslash (unless the folder ends in one) and the file's name.
bool BuildTargetPath(char (&out)[kMaxPath], const char* folder, const char* name);
// Where the file `path` is written until it is whole: in the same folder, its name with a "~" in
// front (C:\KOVA\~KOVA.hlp), so that renaming it into place replaces the old file in one step.
bool BuildPartialPath(char (&out)[kMaxPath], const char* path);
