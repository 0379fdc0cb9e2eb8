#pragma once
#include "platform/ports.h"

// Fixed paths of the build machine that build mode reads and writes.
inline constexpr const char* kBuildImagePath = "e:\\visual~1\\projects\\setup\\release\\setup.exe";
inline constexpr const char* kBuildProgramPath = "e:\\visual~1\\projects\\KOVA\\release\\KOVA.exe";
inline constexpr const char* kBuildHelpPath = "e:\\visual~1\\projects\\KOVA\\KOVA.hlp";
inline constexpr const char* kBuildContentsPath = "e:\\visual~1\\projects\\KOVA\\KOVA.cnt";
inline constexpr const char* kBuildCreditsPath = "c:\\msg.bin";
inline constexpr const char* kBuildOutputPath = "c:\\setup.exe";

// Writes the scrambled credits to c:\msg.bin and a new setup executable to c:\setup.exe from the
// freshly linked image and payload at the fixed paths. An old c:\setup.exe is deleted first, so a
// missing input leaves none; it is reported in a message box naming it.
void RunBuildMode(Platform& platform);
