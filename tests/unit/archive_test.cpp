#include "archive/archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "archive_marker.h"
#include "hand_laid_setup.h"
#include "setup_image.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr std::string_view kMarker = kArchiveMarkerText;
constexpr size_t kImageSize = 1024;

// A program image, then `afterImage`, then the hand-laid archive.
Bytes SetupAfterImage(const std::string& afterImage, const std::vector<HandLaidEntry>& entries) {
    const Bytes image = MinimalSetupImage(kImageSize, afterImage);
    return MakeSetup(std::string(image.begin(), image.end()), entries);
}

TEST(SetupArchive, LayoutOfTheThreeFileExample) {
    const std::string image(1000, 'I');
    const Bytes file =
        SetupAfterImage(image, {{"KOVA.exe", std::string(110, 'x')}, {"KOVA.hlp", "help"}, {"KOVA.cnt", ""}});
    SetupArchive archive;
    ASSERT_EQ(LocateSetupArchive(file, kMarker, archive), ArchiveStatus::Found);
    EXPECT_EQ(archive.start, kImageSize + 1000);
    EXPECT_EQ(archive.count, 3u);
    EXPECT_EQ(archive.firstBody, kImageSize + 1000 + 28 + 3 * 268);

    ArchiveEntry walk;
    ASSERT_TRUE(NextArchiveEntry(archive, walk));
    const ArchiveEntry exe = walk;
    ASSERT_TRUE(NextArchiveEntry(archive, walk));
    const ArchiveEntry hlp = walk;
    ASSERT_TRUE(NextArchiveEntry(archive, walk));
    const ArchiveEntry cnt = walk;
    EXPECT_FALSE(NextArchiveEntry(archive, walk));
    EXPECT_STREQ(exe.name, "KOVA.exe");
    EXPECT_EQ(exe.bodyOffset, archive.firstBody);
    EXPECT_EQ(hlp.bodyOffset, archive.firstBody + 110);
    EXPECT_EQ(std::string(file.begin() + hlp.bodyOffset, file.begin() + hlp.bodyOffset + hlp.size), "help");
    // A body of size 0 starts where the next one would.
    EXPECT_EQ(cnt.size, 0u);
    EXPECT_EQ(cnt.bodyOffset, file.size());
}

TEST(SetupArchive, FirstTrueMarkerWinsAfterPartialMarkers) {
    // Bytes that begin the marker text right before it must not hide the real marker.
    std::string image = "MZ....Marrowgallop is a fo";
    image += std::string(kMarker.substr(0, 5));
    const Bytes file = SetupAfterImage(image, {{"a.txt", "A"}});
    SetupArchive archive;
    ASSERT_EQ(LocateSetupArchive(file, kMarker, archive), ArchiveStatus::Found);
    EXPECT_EQ(archive.start, kImageSize + image.size());
    EXPECT_EQ(FindFirst(file, kMarker), kImageSize + image.size());
}

TEST(SetupArchive, FindFirstAgreesWithAPlainSearchAtEveryPosition) {
    // Small alphabets make near-misses frequent; every length exercises the block and tail paths.
    std::mt19937 random(3);
    const std::string needles[] = {std::string(kMarker), "ab", "abcab", "aaaaaaaaaaaaaaaaaaaab"};
    for (const std::string& needle : needles) {
        for (size_t length = 0; length < 120; ++length) {
            std::vector<uint8_t> hay(length);
            for (auto& byte : hay) byte = static_cast<uint8_t>("abM!x"[random() % 5]);
            if (length >= needle.size() && random() % 2) {
                const size_t at = random() % (length - needle.size() + 1);
                std::memcpy(hay.data() + at, needle.data(), needle.size());
            }
            const auto found = std::search(hay.begin(), hay.end(), needle.begin(), needle.end());
            const size_t expected =
                found == hay.end() ? static_cast<size_t>(-1) : static_cast<size_t>(found - hay.begin());
            hay.shrink_to_fit();
            EXPECT_EQ(FindFirst(hay, needle), expected) << needle << " in " << length << " bytes";
        }
    }
}

// What the setup must not run: an archive in no program image, one whose marker lies in the
// image's own code or data, and one with nothing to install.
TEST(SetupArchive, AnArchiveOutsideAProgramImageOrWithoutEntriesIsDamage) {
    const Bytes good = SetupAfterImage("", {{"KOVA.exe", "x"}});
    Bytes noImage(good.begin() + kImageSize, good.end());
    Bytes notPe = good;
    notPe[0x40] = 'N';
    Bytes inside = good;  // the last section claims the marker's first byte
    PutU32(inside, 0x58 + 16, static_cast<uint32_t>(kImageSize - 0x80 + 1));
    Bytes noSections = good;
    noSections[0x46] = 0;
    Bytes longTable = good;  // a section table that runs past the headers the reader takes
    longTable[0x46] = 0xFF;
    const Bytes afterGap = SetupAfterImage("overlay bytes", {{"KOVA.exe", "x"}});
    struct Case {
        const char* what;
        Bytes file;
        ArchiveStatus status;
        ArchiveFault fault;
    };
    const Case cases[] = {
        {"no program image at all", noImage, ArchiveStatus::Damaged, ArchiveFault::NoImage},
        {"no PE signature", notPe, ArchiveStatus::Damaged, ArchiveFault::NoImage},
        {"no sections", noSections, ArchiveStatus::Damaged, ArchiveFault::NoImage},
        {"a section table past the headers", longTable, ArchiveStatus::Damaged, ArchiveFault::NoImage},
        {"marker inside the last section", inside, ArchiveStatus::Damaged, ArchiveFault::InsideImage},
        {"no entries", SetupAfterImage("", {}), ArchiveStatus::Damaged, ArchiveFault::NoEntries},
        {"right after the image", good, ArchiveStatus::Found, ArchiveFault::None},
        {"after bytes that follow the image", afterGap, ArchiveStatus::Found, ArchiveFault::None},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> exact(c.file);
        exact.shrink_to_fit();
        SetupArchive archive;
        ArchiveDamage damage;
        EXPECT_EQ(LocateSetupArchive(exact, kMarker, archive, &damage), c.status) << c.what;
        EXPECT_EQ(damage.fault, c.fault) << c.what;
    }
    MemorySetupBytes bytes(inside);
    EXPECT_EQ(ProgramImageEnd(bytes), kImageSize + 1);
}

TEST(SetupArchive, NoMarkerMeansNoArchive) {
    const std::string image = "just an image without the marker, only a prefix: Marrowgallop is";
    SetupArchive archive;
    EXPECT_EQ(LocateSetupArchive(Bytes(image.begin(), image.end()), kMarker, archive), ArchiveStatus::NoArchive);
    EXPECT_EQ(LocateSetupArchive({}, kMarker, archive), ArchiveStatus::NoArchive);
}

TEST(SetupArchive, DamagedArchivesAreRefusedWithoutReadingPastTheEnd) {
    const Bytes good = SetupAfterImage("img", {{"KOVA.exe", "program"}, {"KOVA.hlp", "help text"}});
    constexpr size_t kAt = kImageSize + 3;  // where the archive starts
    struct Case {
        const char* what;
        Bytes file;
    };
    std::vector<Case> cases;
    // Every truncation of the archive, from inside the count to one byte short of the last body.
    for (size_t cut = kAt + kMarker.size() + 1; cut < good.size(); ++cut) {
        cases.push_back({"truncated", Bytes(good.begin(), good.begin() + static_cast<long>(cut))});
    }
    Bytes hugeCount = good;
    hugeCount[kAt + 24] = 0xFF;
    hugeCount[kAt + 27] = 0x7F;
    cases.push_back({"count past the end", hugeCount});
    Bytes hugeSize = good;
    hugeSize[kAt + 28 + 4 + 3] = 0xFF;  // top byte of the first size
    cases.push_back({"size past the end", hugeSize});
    Bytes overlapping = good;
    overlapping[kAt + 28 + 268 + 4] = 0xFF;  // second size eats into nothing: sum exceeds the file
    cases.push_back({"sizes summing past the end", overlapping});
    Bytes unterminated = good;
    std::memset(unterminated.data() + kAt + 28 + 8, 'n', kEntryNameSize);
    cases.push_back({"name without terminator", unterminated});
    for (const char* name : {"..\\evil.exe", "dir/KOVA.exe", "C:KOVA.exe", "", ".."}) {
        Bytes bad = SetupAfterImage("img", {{name, "x"}});
        cases.push_back({"not a bare file name", bad});
    }

    for (const Case& c : cases) {
        // An exactly sized heap copy lets AddressSanitizer catch any read past the end.
        std::vector<uint8_t> exact(c.file);
        exact.shrink_to_fit();
        SetupArchive archive;
        EXPECT_EQ(LocateSetupArchive(exact, kMarker, archive), ArchiveStatus::Damaged)
            << c.what << " (" << c.file.size() << " bytes)";
    }
}

// Names Windows cannot hold as the ordinary file they name make the archive damaged, so the setup
// writes nothing; the damage names the rule and the entry.
TEST(SetupArchive, NamesWindowsCannotHoldAreDamage) {
    struct Case {
        std::string name;
        ArchiveFault fault;
    };
    const Case cases[] = {
        {"", ArchiveFault::EmptyName},
        {std::string(256, 'n'), ArchiveFault::NameTooLong},
        {"..\\evil.exe", ArchiveFault::PathCharacter},
        {"dir/KOVA.exe", ArchiveFault::PathCharacter},
        {"C:KOVA.exe", ArchiveFault::PathCharacter},
        {"a<b", ArchiveFault::ReservedCharacter},
        {"a>b", ArchiveFault::ReservedCharacter},
        {"say\"hi\"", ArchiveFault::ReservedCharacter},
        {"a|b", ArchiveFault::ReservedCharacter},
        {"what?", ArchiveFault::ReservedCharacter},
        {"*.exe", ArchiveFault::ReservedCharacter},
        {"tab\tname", ArchiveFault::ControlCharacter},
        {"\x1f", ArchiveFault::ControlCharacter},
        {".", ArchiveFault::TrailingDotOrBlank},
        {"..", ArchiveFault::TrailingDotOrBlank},
        {"KOVA.exe.", ArchiveFault::TrailingDotOrBlank},
        {"KOVA.exe ", ArchiveFault::TrailingDotOrBlank},
        {"NUL", ArchiveFault::DeviceName},
        {"con", ArchiveFault::DeviceName},
        {"Prn.txt", ArchiveFault::DeviceName},
        {"aux.tar.gz", ArchiveFault::DeviceName},
        {"COM1", ArchiveFault::DeviceName},
        {"lpt9.log", ArchiveFault::DeviceName},
        {"NUL .txt", ArchiveFault::DeviceName},
        {"COM\xb9", ArchiveFault::DeviceName},
        {"COM0", ArchiveFault::None},
        {"CONSOLE.txt", ArchiveFault::None},
        {"NULL", ArchiveFault::None},
        {"LPT", ArchiveFault::None},
        {"caf\xe9.txt", ArchiveFault::None},
        {std::string(255, 'n'), ArchiveFault::None},
        {".hidden", ArchiveFault::None},
    };
    for (const Case& c : cases) {
        const Bytes file = SetupAfterImage("img", {{"KOVA.exe", "x"}, {c.name, "y"}});
        SetupArchive archive;
        ArchiveDamage damage;
        const ArchiveStatus expected = c.fault == ArchiveFault::None ? ArchiveStatus::Found : ArchiveStatus::Damaged;
        EXPECT_EQ(LocateSetupArchive(file, kMarker, archive, &damage), expected) << c.name;
        EXPECT_EQ(damage.fault, c.fault) << c.name;
        if (c.fault != ArchiveFault::None) EXPECT_EQ(damage.entry, 1u) << c.name;
        EXPECT_EQ(CheckEntryName(c.name), c.fault) << c.name;
    }
}

TEST(SetupArchive, NamesDifferingOnlyInCaseAreDamageWithinOneDestination) {
    struct Case {
        const char* what;
        std::vector<HandLaidEntry> entries;
        ArchiveFault fault;
    };
    const Case cases[] = {
        {"ASCII case", {{"KOVA.exe", "1"}, {"KOVA.hlp", "2"}, {"kova.EXE", "3"}}, ArchiveFault::SameName},
        {"Windows-1252 letters", {{"caf\xe9.txt", "1"}, {"CAF\xc9.TXT", "2"}}, ArchiveFault::SameName},
        {"letters the code page adds", {{"\x9a.txt", "1"}, {"\x8a.txt", "2"}}, ArchiveFault::SameName},
        {"different destinations", {{"kova.dll", "1", 1}, {"KOVA.DLL", "2"}}, ArchiveFault::None},
        {"different names", {{"KOVA.exe", "1"}, {"KOVA.ex", "2"}}, ArchiveFault::None},
    };
    for (const Case& c : cases) {
        SetupArchive archive;
        ArchiveDamage damage;
        LocateSetupArchive(SetupAfterImage("img", c.entries), kMarker, archive, &damage);
        EXPECT_EQ(damage.fault, c.fault) << c.what;
        if (c.fault == ArchiveFault::SameName) {
            EXPECT_EQ(damage.entry, c.entries.size() - 1) << c.what;
            EXPECT_EQ(damage.earlier, 0u) << c.what;
        }
    }
}

TEST(SetupArchive, MoreThanSixteenEntriesIsDamageReportedAsTheCount) {
    std::vector<HandLaidEntry> entries;
    for (int i = 0; i < 17; ++i) entries.push_back({"file" + std::to_string(i), "x"});
    SetupArchive archive;
    ArchiveDamage damage;
    EXPECT_EQ(LocateSetupArchive(SetupAfterImage("img", entries), kMarker, archive, &damage), ArchiveStatus::Damaged);
    EXPECT_EQ(damage.fault, ArchiveFault::TooManyEntries);
    EXPECT_EQ(damage.count, 17u);
    entries.pop_back();
    EXPECT_EQ(LocateSetupArchive(SetupAfterImage("img", entries), kMarker, archive), ArchiveStatus::Found);
}

TEST(SetupArchive, MarkerThatDoesNotFitItsFieldIsRefused) {
    const Bytes file = SetupAfterImage("img", {});
    SetupArchive archive;
    EXPECT_EQ(LocateSetupArchive(file, "", archive), ArchiveStatus::Damaged);
    EXPECT_EQ(LocateSetupArchive(file, "twenty-four characters!!", archive), ArchiveStatus::Damaged);
    uint8_t header[kArchiveHeaderSize];
    EXPECT_FALSE(WriteArchiveHeader(header, "twenty-four characters!!", 1));
    EXPECT_TRUE(WriteArchiveHeader(header, "twenty-three characters", 1));
}

}  // namespace
