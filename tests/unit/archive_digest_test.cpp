#include "archive/archive_digest.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "archive/own_setup_file.h"
#include "fake_file_system.h"
#include "fake_hashing.h"
#include "fake_platform.h"
#include "operations/install.h"
#include "platform/hashing_posix.h"
#include "rc_strings.h"
#include "setup_image.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Body {
    std::string name;
    std::string text;
};

const std::vector<Body> kBodies = {{"KOVA.exe", "kova program"}, {"KOVA.hlp", "help text"}, {"KOVA.cnt", ""}};

// An image and an archive as build mode writes it: no digest record.
Bytes PlainSetup(const std::string& marker) {
    Bytes file = MinimalSetupImage();
    std::array<uint8_t, kArchiveHeaderSize> header{};
    WriteArchiveHeader(header, marker, static_cast<uint32_t>(kBodies.size()));
    file.insert(file.end(), header.begin(), header.end());
    for (const Body& body : kBodies) {
        std::array<uint8_t, kEntrySize> entry{};
        WriteArchiveEntry(entry, 0, static_cast<uint32_t>(body.text.size()), body.name);
        file.insert(file.end(), entry.begin(), entry.end());
    }
    for (const Body& body : kBodies) file.insert(file.end(), body.text.begin(), body.text.end());
    return file;
}

// The same setup with its digest record, as setup-pack builds it.
Bytes SetupWithRecord(const std::string& marker, Hashing& hashing) {
    Bytes file = PlainSetup(marker);
    SetupArchive archive;
    EXPECT_EQ(LocateSetupArchive(file, marker, archive), ArchiveStatus::Found);
    Bytes record(DigestRecordSize(archive.count));
    MemorySetupBytes bytes(file);
    EXPECT_TRUE(WriteDigestRecord(hashing, bytes, archive, record));
    file.insert(file.end(), record.begin(), record.end());
    return file;
}

class ArchiveDigestTest : public ::testing::Test {
protected:
    // Checked in memory, and as the setup reads its own file: through the smallest window, which
    // splits the record and every body; both must agree.
    DigestCheckResult Check(const Bytes& file) {
        MemorySetupBytes bytes(file);
        EXPECT_EQ(LocateSetupArchive(bytes, marker, archive), ArchiveStatus::Found);
        const DigestCheckResult inMemory = CheckArchiveDigests(hashing, bytes, archive);

        FakeFileSystem files;
        files.ownExecutable = file;
        OwnSetupFile own(files, kMarkerFieldSize);
        EXPECT_TRUE(own.Open());
        SetupArchive windowed;
        EXPECT_EQ(LocateSetupArchive(own, marker, windowed), ArchiveStatus::Found);
        FakeHashing windowHashing;
        windowHashing.fail = hashing.fail;
        const DigestCheckResult throughWindow = CheckArchiveDigests(windowHashing, own, windowed);
        EXPECT_EQ(throughWindow.status, inMemory.status);
        EXPECT_EQ(throughWindow.entry.next, inMemory.entry.next);
        return inMemory;
    }
    size_t BodiesEnd() const { return PlainSetup(marker).size(); }

    RcStrings strings;
    const std::string marker = strings.Text(23);
    FakeHashing hashing;
    SetupArchive archive;
    const Bytes setup = SetupWithRecord(marker, hashing);
};

TEST_F(ArchiveDigestTest, RecordFollowsTheBodiesAndRoundTrips) {
    EXPECT_EQ(setup.size(), BodiesEnd() + 16 + 32 * kBodies.size());
    EXPECT_EQ(std::string(setup.begin() + BodiesEnd(), setup.begin() + BodiesEnd() + 16),
              std::string("KOVA-SHA\x01\0\0\0\x03\0\0\0", 16));
    hashing.calls = 0;
    DigestCheckResult result = Check(setup);
    EXPECT_EQ(result.status, DigestCheck::Verified);
    EXPECT_EQ(result.record.start, BodiesEnd());
    EXPECT_EQ(hashing.calls, 3);

    // Found from the end of the archive, not of the file: bytes appended later (a signature) do not hide it.
    Bytes signedSetup = setup;
    signedSetup.insert(signedSetup.end(), 700, 0x30);
    EXPECT_EQ(Check(signedSetup).status, DigestCheck::Verified);
    // Bytes after the bodies that are not a record leave the setup as it was before the record.
    Bytes plain = PlainSetup(marker);
    EXPECT_EQ(Check(plain).status, DigestCheck::NoRecord);
    plain.insert(plain.end(), 700, 0x30);
    EXPECT_EQ(Check(plain).status, DigestCheck::NoRecord);
}

TEST_F(ArchiveDigestTest, TruncatedOrMismatchedRecordIsDamaged) {
    for (size_t kept = 1; kept < setup.size() - BodiesEnd(); ++kept) {
        const Bytes cut(setup.begin(), setup.begin() + static_cast<std::ptrdiff_t>(BodiesEnd() + kept));
        EXPECT_EQ(Check(cut).status, DigestCheck::DamagedRecord) << kept << " bytes of the record kept";
    }
    Bytes wrongCount = setup;
    wrongCount[BodiesEnd() + 12] = 2;
    EXPECT_EQ(Check(wrongCount).status, DigestCheck::DamagedRecord);
}

TEST_F(ArchiveDigestTest, UnknownVersionIsReportedAndNotRead) {
    Bytes later = setup;
    later[BodiesEnd() + 8] = 2;
    later.resize(BodiesEnd() + 16);  // a later layout need not be as long as this one
    const DigestCheckResult result = Check(later);
    EXPECT_EQ(result.status, DigestCheck::UnknownVersion);
    EXPECT_EQ(result.record.version, 2u);
}

TEST_F(ArchiveDigestTest, ChangedByteInAnyBodyOrDigestNamesTheEntry) {
    for (size_t body = 0; body < kBodies.size(); ++body) {
        if (kBodies[body].text.empty()) continue;
        Bytes damaged = setup;
        size_t at = BodiesEnd();
        for (size_t later = body; later < kBodies.size(); ++later) at -= kBodies[later].text.size();
        damaged[at + kBodies[body].text.size() - 1] ^= 0x01;
        const DigestCheckResult result = Check(damaged);
        EXPECT_EQ(result.status, DigestCheck::Mismatch) << kBodies[body].name;
        EXPECT_STREQ(result.entry.name, kBodies[body].name.c_str());
    }
    Bytes wrongDigest = setup;
    wrongDigest[BodiesEnd() + 16 + 2 * 32] ^= 0x80;  // the empty KOVA.cnt's digest
    EXPECT_STREQ(Check(wrongDigest).entry.name, "KOVA.cnt");
    hashing.fail = true;
    EXPECT_EQ(Check(setup).status, DigestCheck::HashFailed);
}

TEST(OpenSslHashing, KnownDigest) {
    OpenSslHashing hashing;
    Sha256Digest digest{};
    const std::string abc = "abc";
    ASSERT_TRUE(hashing.Sha256({reinterpret_cast<const uint8_t*>(abc.data()), abc.size()}, digest));
    constexpr Sha256Digest expected = {0xba, 0x78, 0x16, 0xbf, 0x8f, 0x01, 0xcf, 0xea, 0x41, 0x41, 0x40,
                                       0xde, 0x5d, 0xae, 0x22, 0x23, 0xb0, 0x03, 0x61, 0xa3, 0x96, 0x17,
                                       0x7a, 0x9c, 0xb4, 0x10, 0xff, 0x61, 0xf2, 0x00, 0x15, 0xad};
    EXPECT_EQ(digest, expected);
    // The same in pieces, as the setup hashes a body a window at a time.
    Sha256Digest pieces{};
    ASSERT_TRUE(hashing.Begin() && hashing.Add({reinterpret_cast<const uint8_t*>("a"), 1}) &&
                hashing.Add({reinterpret_cast<const uint8_t*>("bc"), 2}) && hashing.Finish(pieces));
    EXPECT_EQ(pieces, expected);
}

// InstallFiles with the digest record: a body that does not match is a damaged archive in install
// and upgrade mode, before anything is written; remove mode needs only the names.
class DigestInstallTest : public ArchiveDigestTest, public FakePlatform {
protected:
    DigestInstallTest() { platform.hashing = &hashing; }
    bool Run(const Bytes& own, InstallMode mode) {
        registry.AddBinary(RegRoot::LocalMachine, "Software\\KOVA", "config", Bytes(1644, 0));
        files.ownExecutable = own;
        return InstallFiles(platform, "C:\\KOVA", mode);
    }
};

TEST_F(DigestInstallTest, MismatchInInstallOrUpgradeWritesNothing) {
    Bytes damaged = setup;
    damaged[BodiesEnd() - 1] ^= 0x01;  // the last byte of KOVA.hlp
    Bytes cut(setup.begin(), setup.end() - 1);
    for (bool upgrading : {false, true}) {
        for (const Bytes* own : {&damaged, &cut}) {
            SCOPED_TRACE(upgrading ? "upgrade" : "install");
            messages.shown.clear();
            registry.log.clear();
            EXPECT_FALSE(Run(*own, upgrading ? InstallMode::Upgrade : InstallMode::Install));
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text, kNoArchiveText);
            EXPECT_EQ(messages.shown[0].caption, "Installation Fatal Error");
            EXPECT_TRUE(files.FilePaths().empty());
            EXPECT_FALSE(files.HasDirectory("C:\\KOVA"));
            EXPECT_EQ(registry.HasKey(RegRoot::LocalMachine, "Software\\KOVA"), upgrading);
            EXPECT_FALSE(registry.HasKey(RegRoot::ClassesRoot, "KOVA\\DefaultIcon"));
        }
    }
}

TEST_F(DigestInstallTest, MatchingOrUnreadableRecordInstallsAndRemoveHashesNothing) {
    Bytes later = setup;
    later[BodiesEnd() + 8] = 2;
    for (const Bytes* own : std::array<const Bytes*, 2>{&setup, &later}) {
        files = FakeFileSystem();
        ASSERT_TRUE(Run(*own, InstallMode::Install));
        EXPECT_EQ(files.Contents("C:\\KOVA\\KOVA.hlp"), Bytes(kBodies[1].text.begin(), kBodies[1].text.end()));
        EXPECT_EQ(files.Contents("C:\\KOVA\\Setup.exe"), *own);
    }
    Bytes damaged = setup;
    damaged[BodiesEnd() - 1] ^= 0x01;
    hashing.calls = 0;
    EXPECT_TRUE(Run(damaged, InstallMode::Remove));
    EXPECT_FALSE(files.HasFile("C:\\KOVA\\KOVA.hlp"));
    EXPECT_EQ(hashing.calls, 0);

    // Without a hash on the platform a record cannot be checked, so its bodies are not trusted.
    platform.hashing = nullptr;
    EXPECT_FALSE(Run(setup, InstallMode::Install));
    EXPECT_EQ(messages.shown.back().text, kNoArchiveText);
}

}  // namespace
