#pragma once
// Start-up rules that do not need the platform.

// True when the command-line tail asks for build mode: exactly "build" in any letter case.
bool IsBuildCommand(const char* tail);
