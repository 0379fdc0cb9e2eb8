#pragma once
// The installation directory while the dialog runs. Edit 1030 owns it: set at start-up, changed by
// typing or by the chooser behind Change (which opens at the folder the field names), and taken
// from the field by Install. It is checked before anything is saved or written, so that a directory
// KOVA cannot be installed to gets a message and the dialog stays open with every setting as the
// user left it.
#include "configuration/setup_dialog_record.h"
#include "platform/controls.h"
#include "platform/desktop.h"
#include "platform/ports.h"
#include "platform/volumes.h"

enum class DirectoryProblem { None, Empty, TooLong, ForbiddenCharacter, NotFullPath, RootMissing };

// The two paths are empty until the check fills them; they are not zeroed as a whole, which would
// cost the image a 520-byte template of zeros.
struct CheckedDirectory {
    DirectoryProblem problem = DirectoryProblem::None;
    // The text without surrounding blanks and without trailing backslashes, except the one of a
    // drive root ("C:\"): the directory to install to when there is no problem.
    char directory[kMaxPath];
    size_t length = 0;      // of the directory, also when it is too long for the buffer
    char forbidden = '\0';  // the first character Windows does not allow in a path
    char root[kMaxPath];    // "C:\" or "\\server\share\"
};

// A full path (a drive letter, a colon and a backslash, or \\server\share) without characters that
// Windows forbids in a path, short enough for every path and command string KOVA builds from it,
// on a drive or share that exists.
CheckedDirectory CheckInstallationDirectory(const char* text, Volumes& volumes);

// Edit 1030 at start-up: the stored directory of an installation, otherwise the Programs folder
// (empty when the shell cannot supply it). A new installation's directory reaches the record only
// through Install.
void SetInstallationDirectory(Controls& controls, ProgramsFolder& programs, const SetupDialog& record, bool installed);

// Install: the directory of edit 1030, checked; when it has no problem it becomes
// installationDirectory. An installation keeps its stored directory (the field cannot be changed
// then), which is not checked again.
CheckedDirectory GatherInstallationDirectory(Controls& controls, Volumes& volumes, SetupDialog& record, bool installed);

// Whether a folder exists, as the platform sees it.
using FolderExists = bool (*)(const char* path);

// The folder the chooser opens at for the text of edit 1030: the folder the text names, or the
// nearest folder above it that exists; empty when not even its root exists.
void ChooserStartFolder(const char* text, FolderExists exists, char (&folder)[kMaxPath]);

// Tells the user what is wrong with the directory and how to put it right.
void ReportDirectoryProblem(Messages& messages, const CheckedDirectory& checked);

inline constexpr char kDirectoryProblemCaption[] = "Installation Directory";
