#include "dialog/installation_directory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "fake_controls.h"
#include "fake_desktop.h"
#include "fake_messages.h"
#include "fake_volumes.h"
#include "operations/installed_paths.h"
#include "resources/resource_ids.h"

namespace {

constexpr uint32_t kStyle = MessageStyle::Ok | MessageStyle::IconWarning;

TEST(InstallationDirectory, AcceptedDirectoriesAreTrimmedOfBlanksAndTrailingBackslashes) {
    struct Case {
        const char* text;
        const char* directory;
        const char* root;
    };
    const Case cases[] = {
        {"C:\\Program Files\\KOVA", "C:\\Program Files\\KOVA", "C:\\"},
        {"  C:\\KOVA \t", "C:\\KOVA", "C:\\"},
        {"C:\\KOVA\\\\", "C:\\KOVA", "C:\\"},
        {"C:\\", "C:\\", "C:\\"},
        {"C:\\\\\\", "C:\\", "C:\\"},
        {"d:\\tools\\kova", "d:\\tools\\kova", "d:\\"},
        {"\\\\fileserver\\tools", "\\\\fileserver\\tools", "\\\\fileserver\\tools\\"},
        {"\\\\fileserver\\tools\\KOVA\\", "\\\\fileserver\\tools\\KOVA", "\\\\fileserver\\tools\\"},
    };
    for (const Case& c : cases) {
        FakeVolumes volumes;
        const CheckedDirectory checked = CheckInstallationDirectory(c.text, volumes);
        EXPECT_EQ(checked.problem, DirectoryProblem::None) << c.text;
        EXPECT_STREQ(checked.directory, c.directory) << c.text;
        EXPECT_EQ(volumes.asked, std::vector<std::string>{c.root}) << c.text;
    }
    FakeVolumes volumes;
    const std::string longest = "C:\\" + std::string(kMaxInstallDirectoryLength - 3, 'k');
    EXPECT_EQ(CheckInstallationDirectory((longest + "\\").c_str(), volumes).problem, DirectoryProblem::None);
}

TEST(InstallationDirectory, EveryProblemIsNamedInItsMessage) {
    struct Case {
        std::string text;
        DirectoryProblem problem;
        const char* message;
    };
    const Case cases[] = {
        {"", DirectoryProblem::Empty,
         "Please enter the directory to install KOVA to, such as C:\\Program Files\\KOVA, or choose one with Change."},
        {"   ", DirectoryProblem::Empty,
         "Please enter the directory to install KOVA to, such as C:\\Program Files\\KOVA, or choose one with Change."},
        {"foo", DirectoryProblem::NotFullPath,
         "The installation directory \"foo\" is not a full path. Please enter a path that begins with a drive letter "
         "and a backslash, such as C:\\Program Files\\KOVA, or with a network share, such as "
         "\\\\server\\share\\KOVA."},
        {"C:KOVA", DirectoryProblem::NotFullPath, nullptr},
        {"\\KOVA", DirectoryProblem::NotFullPath, nullptr},
        {"\\\\", DirectoryProblem::NotFullPath, nullptr},
        {"\\\\fileserver", DirectoryProblem::NotFullPath, nullptr},
        {"\\\\fileserver\\\\KOVA", DirectoryProblem::NotFullPath, nullptr},
        {"1:\\KOVA", DirectoryProblem::NotFullPath, nullptr},
        {"C:\\bad|name", DirectoryProblem::ForbiddenCharacter,
         "The installation directory \"C:\\bad|name\" contains the character |, which Windows does not allow in a "
         "path. Please remove it."},
        {"C:\\a<b", DirectoryProblem::ForbiddenCharacter, nullptr},
        {"C:\\a>b", DirectoryProblem::ForbiddenCharacter, nullptr},
        {"C:\\a\"b", DirectoryProblem::ForbiddenCharacter, nullptr},
        {"C:\\a?b", DirectoryProblem::ForbiddenCharacter, nullptr},
        {"C:\\a*b", DirectoryProblem::ForbiddenCharacter, nullptr},
        {"C:\\a/b", DirectoryProblem::ForbiddenCharacter, nullptr},
        {"C:\\a:b", DirectoryProblem::ForbiddenCharacter, nullptr},
        {"C:\\a\tb", DirectoryProblem::ForbiddenCharacter,
         "The installation directory \"C:\\a\tb\" contains a control character, which Windows does not allow in a "
         "path. Please remove it."},
        {"C:\\" + std::string(kMaxInstallDirectoryLength - 2, 'k'), DirectoryProblem::TooLong,
         "The installation directory is 226 characters long; it may have at most 225, so that the paths of KOVA's "
         "files in it stay within 259 characters. Please choose a shorter directory."},
        {"E:\\KOVA", DirectoryProblem::RootMissing,
         "The drive E: of the installation directory \"E:\\KOVA\" does not exist. Please choose a directory on a "
         "drive of this computer."},
        {"\\\\nowhere\\share\\KOVA", DirectoryProblem::RootMissing,
         "The network share \\\\nowhere\\share of the installation directory \"\\\\nowhere\\share\\KOVA\" cannot be "
         "reached. Please check its name, or choose a directory on a drive of this computer."},
    };
    for (const Case& c : cases) {
        FakeVolumes volumes;
        FakeMessages messages;
        const CheckedDirectory checked = CheckInstallationDirectory(c.text.c_str(), volumes);
        EXPECT_EQ(checked.problem, c.problem) << c.text;
        ReportDirectoryProblem(messages, checked);
        ASSERT_EQ(messages.shown.size(), 1u) << c.text;
        if (c.message != nullptr) {
            EXPECT_EQ(messages.shown[0].text, c.message);
        }
        EXPECT_EQ(messages.shown[0].caption, "Installation Directory");
        EXPECT_EQ(messages.shown[0].style, kStyle);
        if (c.problem != DirectoryProblem::RootMissing) {
            EXPECT_TRUE(volumes.asked.empty()) << c.text;
        }
    }
}

TEST(InstallationDirectory, StartsAtTheProgramsFolderOrTheStoredOne) {
    struct Case {
        const char* name;
        bool installed;
        bool shellHasFolder;
        std::string stored;
        std::string shown;
    };
    const std::string programs = "C:\\Documents and Settings\\user\\Start Menu\\Programs";
    const Case cases[] = {
        {"new installation", false, true, "", programs},
        {"shell without Programs folder", false, false, "", ""},
        {"installed", true, true, "D:\\Tools\\KOVA", "D:\\Tools\\KOVA"},
        {"stored directory without terminator", true, true, std::string(kMaxPath, 'D'), std::string(259, 'D')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeControls controls;
        FakeProgramsFolder folder;
        folder.folder = programs;
        folder.available = c.shellHasFolder;
        SetupDialog record{};
        std::memcpy(record.installationDirectory, c.stored.data(), c.stored.size());
        SetInstallationDirectory(controls, folder, record, c.installed);
        EXPECT_EQ(controls.Text(IDC_INSTALLATION_DIRECTORY), c.shown);
    }
}

// Install takes the directory from the field, checked: a good one becomes the record's, a bad one
// leaves the record as it was; an installation keeps its stored directory unchecked.
TEST(InstallationDirectory, InstallGathersTheCheckedFieldIntoTheRecord) {
    struct Case {
        const char* name;
        std::string typed;
        bool installed;
        DirectoryProblem problem;
        std::string stored;
    };
    const Case cases[] = {
        {"typed directory", "  C:\\Tools\\KOVA\\ ", false, DirectoryProblem::None, "C:\\Tools\\KOVA"},
        {"too long for the record", "C:\\" + std::string(300, 'D'), false, DirectoryProblem::TooLong, "C:\\Old"},
        {"no full path", "KOVA", false, DirectoryProblem::NotFullPath, "C:\\Old"},
        {"installed", "anything", true, DirectoryProblem::None, "C:\\Old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeControls controls;
        FakeVolumes volumes;
        controls.SetText(IDC_INSTALLATION_DIRECTORY, c.typed.c_str());
        SetupDialog record{};
        std::strcpy(record.installationDirectory, "C:\\Old");
        EXPECT_EQ(GatherInstallationDirectory(controls, volumes, record, c.installed).problem, c.problem);
        EXPECT_EQ(std::string(record.installationDirectory), c.stored);
    }
}

// The chooser opens at the folder the field names, or the nearest existing folder above it.
TEST(InstallationDirectory, ChooserStartsAtTheFieldsFolderOrItsNearestExistingParent) {
    static const std::set<std::string> folders = {"C:\\", "C:\\Program Files", "C:\\Program Files\\KOVA",
                                                  "\\\\fileserver\\tools"};
    const FolderExists exists = [](const char* path) { return folders.count(path) != 0; };
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Program Files\\KOVA", "C:\\Program Files\\KOVA"},
        {"  C:\\Program Files\\KOVA\\ ", "C:\\Program Files\\KOVA"},
        {"C:\\Program Files\\New\\Deeper", "C:\\Program Files"},
        {"C:\\Nowhere", "C:\\"},
        {"C:\\", "C:\\"},
        {"C:", "C:\\"},
        {"Q:\\Gone", ""},
        {"\\\\fileserver\\tools\\KOVA", "\\\\fileserver\\tools"},
        {"KOVA", ""},
        {"", ""},
        {std::string(400, 'x'), ""},
    };
    for (const auto& [typed, start] : cases) {
        SCOPED_TRACE(typed);
        char folder[kMaxPath];
        ChooserStartFolder(typed.c_str(), exists, folder);
        EXPECT_EQ(std::string(folder), start);
    }
}

}  // namespace
