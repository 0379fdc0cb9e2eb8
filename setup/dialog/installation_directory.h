#pragma once
// The installation directory as Install takes it from edit 1030. It is checked before anything is
// saved or written, so that a directory KOVA cannot be installed to gets a message and the dialog
// stays open with every setting as the user left it.
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
    size_t length = 0;       // of the directory, also when it is too long for the buffer
    char forbidden = '\0';   // the first character Windows does not allow in a path
    char root[kMaxPath];  // "C:\" or "\\server\share\"
};

// A full path (a drive letter, a colon and a backslash, or \\server\share) without characters that
// Windows forbids in a path, short enough for every path and command string KOVA builds from it,
// on a drive or share that exists.
CheckedDirectory CheckInstallationDirectory(const char* text, Volumes& volumes);

// Tells the user what is wrong with the directory and how to put it right.
void ReportDirectoryProblem(Messages& messages, const CheckedDirectory& checked);

inline constexpr char kDirectoryProblemCaption[] = "Installation Directory";
