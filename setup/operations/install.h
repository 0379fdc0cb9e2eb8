#pragma once
// InstallFiles: the one procedure that puts KOVA's files on the machine, refreshes them during a
// version upgrade, or deletes them during an uninstall.
#include <cstddef>

#include "platform/ports.h"

inline constexpr char kInstallErrorCaption[] = "Installation Fatal Error";
inline constexpr char kNoArchiveText[] =
    "Error: SETUP did not have an embedded installation information. KOVA NOT installed!";
inline constexpr char kInstallerCaption[] = "KOVA Installer";

// The "Installation Fatal Error" box of every failure to install, refresh, remove or store the
// settings, its text formatted as ShowMessage does.
__attribute__((format(printf, 2, 3))) void ShowInstallError(Messages& messages, const char* format, ...);

enum class InstallMode {
    // Registers the shell verbs and the icon, creates the directory, writes the payload files and
    // the copy of the setup program (unless the program runs from that copy), lists KOVA among
    // Windows' installed programs, removes the record of the install under way, and shows the
    // success message.
    Install,
    // Creates a missing directory, rewrites the payload files and the copy of the setup program,
    // rewrites KOVA's entry in Windows' list of installed programs, and removes the record of the
    // refresh under way.
    Upgrade,
    // Deletes the payload files.
    Remove,
    // Install, over what an install that did not finish left, in its directory with its stored
    // settings: every step runs again. A failure, said in its box, leaves the configuration, the
    // list entry and the record of the unfinished install, so that the dialog still offers Uninstall
    // and a later start tries again.
    Complete,
};

// Looks for the payload and checks every path before it changes anything. Returns true only when
// everything was written (or deleted); every failure has been reported in one message box.
bool InstallFiles(Platform& platform, const char* directory, InstallMode mode);

enum class RemovalOutcome {
    Removed,         // every payload file is gone
    FilesLeft,       // files that could not be deleted were named in a message
    PayloadNotRead,  // no payload, a damaged one or an unreadable own file: said in a message, nothing deleted
};

// InstallFiles' removal, telling why it failed: the uninstall goes on after a payload it could not
// read, so that the user can delete the files by hand.
RemovalOutcome RemoveInstalledFiles(Platform& platform, const char* directory);
