#include "dialog/installation_directory.h"

#include <cstring>
#include <string_view>

#include "operations/installed_paths.h"
#include "resources/resource_ids.h"
#include "text/message_box.h"
#include "text/text_format.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsDriveRoot(const char* text, size_t length) {
    return length == 3 && IsLetter(text[0]) && text[1] == ':' && text[2] == '\\';
}

// The colon is allowed only after the drive letter; a slash would not be taken as a separator by
// the folder chain that Install creates.
bool IsForbidden(char c, size_t position) {
    if (static_cast<unsigned char>(c) < 32) return true;
    if (c == ':') return position != 1;
    return std::strchr("<>\"|?*/", c) != nullptr;
}

// "\\server\share" followed by the end or a backslash: the length of "\\server\share", else 0.
size_t ShareLength(const char* text) {
    if (text[0] != '\\' || text[1] != '\\') return 0;
    const char* server = text + 2;
    const char* serverEnd = std::strchr(server, '\\');
    if (serverEnd == nullptr || serverEnd == server) return 0;
    const char* share = serverEnd + 1;
    const size_t shareLength = std::strcspn(share, "\\");
    return shareLength == 0 ? 0 : static_cast<size_t>(share - text) + shareLength;
}

// The root of a full path, with its backslash; false when the text is no full path.
bool FindRoot(const char* text, char (&root)[kMaxPath]) {
    size_t length = IsLetter(text[0]) && text[1] == ':' && text[2] == '\\' ? 2 : ShareLength(text);
    if (length == 0) return false;
    std::memcpy(root, text, length);
    root[length] = '\\';
    root[length + 1] = '\0';
    return true;
}

}  // namespace

CheckedDirectory CheckInstallationDirectory(const char* text, Volumes& volumes) {
    CheckedDirectory checked;
    checked.directory[0] = '\0';
    checked.root[0] = '\0';
    while (IsBlank(*text)) ++text;
    size_t length = std::strlen(text);
    while (length > 0 && IsBlank(text[length - 1])) --length;
    while (length > 1 && text[length - 1] == '\\' && !IsDriveRoot(text, length)) --length;
    checked.length = length;
    if (length == 0) {
        checked.problem = DirectoryProblem::Empty;
        return checked;
    }
    if (length > kMaxInstallDirectoryLength) {
        checked.problem = DirectoryProblem::TooLong;
        return checked;
    }
    std::memcpy(checked.directory, text, length);
    checked.directory[length] = '\0';
    for (size_t i = 0; i < length; ++i) {
        if (IsForbidden(text[i], i)) {
            checked.forbidden = text[i];
            checked.problem = DirectoryProblem::ForbiddenCharacter;
            return checked;
        }
    }
    if (!FindRoot(checked.directory, checked.root)) {
        checked.problem = DirectoryProblem::NotFullPath;
    } else if (!volumes.RootExists(checked.root)) {
        checked.problem = DirectoryProblem::RootMissing;
    }
    return checked;
}

void SetInstallationDirectory(Controls& controls, ProgramsFolder& programs, const SetupDialog& record, bool installed) {
    char directory[kMaxPath] = {};
    if (installed) {
        const std::string_view stored = RecordText(record.installationDirectory);
        std::memcpy(directory, stored.data(), stored.size());
    } else if (!programs.Path(directory)) {
        directory[0] = '\0';
    }
    directory[kMaxPath - 1] = '\0';
    controls.SetText(IDC_INSTALLATION_DIRECTORY, directory);
}

CheckedDirectory GatherInstallationDirectory(Controls& controls, Volumes& volumes, SetupDialog& record,
                                             bool installed) {
    if (installed) return CheckedDirectory{};
    char text[1024] = {};
    controls.GetText(IDC_INSTALLATION_DIRECTORY, text, sizeof text);
    CheckedDirectory checked = CheckInstallationDirectory(text, volumes);
    if (checked.problem == DirectoryProblem::None)
        std::memcpy(record.installationDirectory, checked.directory, kMaxPath);
    return checked;
}

void ChooserStartFolder(const char* text, FolderExists exists, char (&folder)[kMaxPath]) {
    while (IsBlank(*text)) ++text;
    size_t length = strnlen(text, kMaxPath - 1);
    std::memcpy(folder, text, length);
    while (length > 0 && (IsBlank(folder[length - 1]) || folder[length - 1] == '\\')) --length;
    while (length > 0) {
        // A drive is its root folder, with the backslash.
        const bool drive = length == 2 && folder[1] == ':';
        if (drive) folder[length++] = '\\';
        folder[length] = '\0';
        if (exists(folder)) return;
        if (drive) break;
        while (length > 0 && folder[length - 1] != '\\') --length;
        while (length > 0 && folder[length - 1] == '\\') --length;
    }
    folder[0] = '\0';
}

void ReportDirectoryProblem(Messages& messages, const CheckedDirectory& checked) {
    const char* directory = checked.directory;
    switch (checked.problem) {
        case DirectoryProblem::None:
            return;
        case DirectoryProblem::Empty:
            ShowMessage(messages, kDirectoryProblemCaption, kWarningBox,
                        "Please enter the directory to install KOVA to, such as C:\\Program Files\\KOVA, or choose "
                        "one with Change.");
            break;
        case DirectoryProblem::TooLong:
            ShowMessage(messages, kDirectoryProblemCaption, kWarningBox,
                        "The installation directory is %u characters long; it may have at most %u, so that the "
                        "paths of KOVA's files in it stay within 259 characters. Please choose a shorter directory.",
                        static_cast<unsigned>(checked.length), static_cast<unsigned>(kMaxInstallDirectoryLength));
            break;
        case DirectoryProblem::ForbiddenCharacter:
            if (static_cast<unsigned char>(checked.forbidden) < 32) {
                ShowMessage(messages, kDirectoryProblemCaption, kWarningBox,
                            "The installation directory \"%s\" contains a control character, which Windows does not "
                            "allow in a path. Please remove it.",
                            directory);
            } else {
                ShowMessage(messages, kDirectoryProblemCaption, kWarningBox,
                            "The installation directory \"%s\" contains the character %c, which Windows does not "
                            "allow in a path. Please remove it.",
                            directory, checked.forbidden);
            }
            break;
        case DirectoryProblem::NotFullPath:
            ShowMessage(messages, kDirectoryProblemCaption, kWarningBox,
                        "The installation directory \"%s\" is not a full path. Please enter a path that begins with "
                        "a drive letter and a backslash, such as C:\\Program Files\\KOVA, or with a network share, "
                        "such as \\\\server\\share\\KOVA.",
                        directory);
            break;
        case DirectoryProblem::RootMissing: {
            // The root without its closing backslash: "D:" or "\\server\share".
            char name[kMaxPath];
            const size_t nameLength = std::strlen(checked.root) - 1;
            std::memcpy(name, checked.root, nameLength);
            name[nameLength] = '\0';
            ShowMessage(messages, kDirectoryProblemCaption, kWarningBox,
                        name[0] == '\\'
                            ? "The network share %s of the installation directory \"%s\" cannot be reached. Please "
                              "check its name, or choose a directory on a drive of this computer."
                            : "The drive %s of the installation directory \"%s\" does not exist. Please choose a "
                              "directory on a drive of this computer.",
                        name, directory);
            break;
        }
    }
}
