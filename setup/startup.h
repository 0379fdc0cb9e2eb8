#pragma once
// Start-up rules that do not need the platform.

// True when the command-line tail asks for build mode: exactly "build" in any letter case.
bool IsBuildCommand(const char* tail);

// The command-line tail that WinMain receives: what follows the program's name (quoted, or up to the
// first blank) and the blanks after it.
const char* CommandTail(const char* commandLine);
