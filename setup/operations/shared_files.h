#pragma once
// Reference counts of shared files in the Windows system directory, kept as Windows programs keep
// them: under HKLM "Software\Microsoft\Windows\CurrentVersion\SharedDLLs", one DWORD value per
// file, named by the file's full path, counting the installations that use it. A 32-bit program on
// 64-bit Windows keeps them in its own (32-bit) registry view, named by the files' real SysWOW64 path.
#include "platform/ports.h"

inline constexpr char kSharedDllsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// What AddSharedFileUser found, so that an install that fails later can take its count back.
struct SharedFileCountBefore {
    bool counted = false;  // a count was written
    bool hadCount = false;
    uint32_t count = 0;
};

// Counts one more user of `path`. A file that was there before without a count has had one user
// already (whoever put it there), so its count starts at two.
SharedFileCountBefore AddSharedFileUser(Registry& registry, const char* path, bool fileWasThere);
// Puts the count of `path` back as AddSharedFileUser found it: the old count, or none.
void TakeBackSharedFileUser(Registry& registry, const char* path, const SharedFileCountBefore& before);

enum class SharedFileRelease {
    LastUser,   // the count has reached zero: the file may go, then ForgetSharedFile
    StillUsed,  // another installation still uses the file, or its count could not be read or written
};

// Counts one user less of `path`.
SharedFileRelease ReleaseSharedFile(Registry& registry, const char* path);
// Removes the count of a file that is gone.
void ForgetSharedFile(Registry& registry, const char* path);
