#include "archive/setup_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "archive/archive_digest.h"
#include "archive/setup_bytes.h"
#include "archive_marker.h"
#include "fake_file_system.h"
#include "fake_hashing.h"
#include "hand_laid_setup.h"
#include "setup_image.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr std::string_view kMarker = kArchiveMarkerText;

// A program image of 5000 bytes, so that the reader finds the archive written after it.
std::vector<uint8_t> Image() { return MinimalSetupImage(5000); }

class SetupWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        files.AddDirectory("C:\\in");
        files.AddFile("C:\\in\\setup.exe", Image());
        files.AddFile("C:\\in\\KOVA.exe", std::string(3000, 'E'));
        files.AddFile("C:\\in\\KOVA.hlp", std::string("help"));
        files.AddFile("C:\\in\\KOVA.cnt", std::string());
    }
    SetupWriteResult Write(const char* output = "C:\\setup.exe") {
        const PayloadInput payload[] = {
            {"C:\\in\\KOVA.exe", "KOVA.exe"}, {"C:\\in\\KOVA.hlp", "KOVA.hlp"}, {"C:\\in\\KOVA.cnt", "KOVA.cnt", 1}};
        return WriteSetupExecutable(files, kMarker, "C:\\in\\setup.exe", payload, output);
    }
    FakeFileSystem files;
};

TEST_F(SetupWriterTest, WritesImageHeaderTableAndBodies) {
    ASSERT_EQ(Write().status, SetupWriteStatus::Written);
    const Bytes image = Image();
    const Bytes expected = MakeSetup(std::string(image.begin(), image.end()),
                                     {{"KOVA.exe", std::string(3000, 'E')}, {"KOVA.hlp", "help"}, {"KOVA.cnt", "", 1}});
    EXPECT_EQ(files.Contents("C:\\setup.exe"), expected);
    EXPECT_EQ(files.OpenHandles(), 0u);
}

TEST_F(SetupWriterTest, TruncatesALongerOldOutput) {
    files.AddFile("C:\\setup.exe", std::string(100000, 'O'));
    ASSERT_EQ(Write().status, SetupWriteStatus::Written);
    EXPECT_EQ(files.Contents("C:\\setup.exe").size(), 5000u + 28 + 3 * 268 + 3004);
}

// setup-pack writes through the descriptor of its temporary file: the same bytes, and the file is
// the caller's to close (and to remove after a failure), never reopened or deleted by name.
TEST_F(SetupWriterTest, IntoAGivenFileWritesTheSameBytesAndLeavesTheFileToTheCaller) {
    ASSERT_EQ(Write("C:\\plain.exe").status, SetupWriteStatus::Written);
    const PayloadInput payload[] = {
        {"C:\\in\\KOVA.exe", "KOVA.exe"}, {"C:\\in\\KOVA.hlp", "KOVA.hlp"}, {"C:\\in\\KOVA.cnt", "KOVA.cnt", 1}};
    FileHandle out = -1;
    ASSERT_TRUE(files.CreateTruncated("C:\\given.exe", out));
    const size_t openBefore = files.OpenHandles();
    EXPECT_EQ(
        WriteSetupExecutableInto(files, kMarker, "C:\\in\\setup.exe", payload, out, "C:\\given.exe", nullptr).status,
        SetupWriteStatus::Written);
    EXPECT_EQ(files.OpenHandles(), openBefore);
    ASSERT_TRUE(files.Close(out));
    EXPECT_EQ(files.Contents("C:\\given.exe"), files.Contents("C:\\plain.exe"));

    files.failOp = FileOp::Write;
    files.failPath = "C:\\failing.exe";
    ASSERT_TRUE(files.CreateTruncated("C:\\failing.exe", out));
    EXPECT_EQ(
        WriteSetupExecutableInto(files, kMarker, "C:\\in\\setup.exe", payload, out, "C:\\failing.exe", nullptr).status,
        SetupWriteStatus::OutputFailed);
    EXPECT_TRUE(files.HasFile("C:\\failing.exe"));
    EXPECT_TRUE(files.Close(out));
}

TEST_F(SetupWriterTest, MissingInputWritesNoOutputAndNamesIt) {
    files.AddFile("C:\\setup.exe", std::string("old"));
    files.failOp = FileOp::OpenRead;
    files.failPath = "C:\\in\\KOVA.hlp";
    const SetupWriteResult result = Write();
    EXPECT_EQ(result.status, SetupWriteStatus::InputUnreadable);
    EXPECT_STREQ(result.path, "C:\\in\\KOVA.hlp");
    EXPECT_EQ(files.Contents("C:\\setup.exe"), Bytes({'o', 'l', 'd'}));
    EXPECT_EQ(files.OpenHandles(), 0u);
}

TEST_F(SetupWriterTest, EveryFailingOperationLeavesNoHalfWrittenOutput) {
    ASSERT_EQ(Write().status, SetupWriteStatus::Written);
    const size_t operations = files.calls;
    for (size_t failing = 1; failing <= operations; ++failing) {
        SetUp();
        files.Delete("C:\\setup.exe");
        files.calls = 0;
        files.failAtCall = failing;
        const SetupWriteResult result = Write();
        if (result.status == SetupWriteStatus::Written) {
            // A failed close of an input after everything was copied does not spoil the output.
            EXPECT_EQ(files.Contents("C:\\setup.exe").size(), 5000u + 28 + 3 * 268 + 3004) << failing;
        } else {
            EXPECT_FALSE(files.HasFile("C:\\setup.exe")) << "operation " << failing;
        }
        EXPECT_EQ(files.OpenHandles(), 0u) << failing;
        files.failAtCall.reset();
    }
}

// Hashes each piece only at its next call, as a hasher working on another thread may: a piece the
// writer changed before that call would give a wrong digest.
class LaggingHashing final : public Hashing {
public:
    bool Begin() override { return hashing.Begin(); }
    bool Add(std::span<const uint8_t> bytes) override {
        const bool caughtUp = CatchUp();
        held_ = bytes;
        return caughtUp;
    }
    bool Finish(Sha256Digest& digest) override { return CatchUp() && hashing.Finish(digest); }
    FakeHashing hashing;

private:
    bool CatchUp() {
        const bool added = held_.empty() || hashing.Add(held_);
        held_ = {};
        return added;
    }
    std::span<const uint8_t> held_;
};

TEST_F(SetupWriterTest, WithDigestsTheSameSetupIsFollowedByTheRecordOfItsBodies) {
    // Three pieces of the copy's buffer, each different, so that a reused piece changes the digest.
    std::vector<uint8_t> large(3 * 512 * 1024 + 77);
    for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<uint8_t>(i * 7 % 251);
    files.AddFile("C:\\in\\KOVA.exe", large);
    ASSERT_EQ(Write("C:\\plain.exe").status, SetupWriteStatus::Written);
    const PayloadInput payload[] = {
        {"C:\\in\\KOVA.exe", "KOVA.exe"}, {"C:\\in\\KOVA.hlp", "KOVA.hlp"}, {"C:\\in\\KOVA.cnt", "KOVA.cnt", 1}};
    LaggingHashing hashing;
    ASSERT_EQ(
        WriteSetupExecutableWithDigests(files, kMarker, "C:\\in\\setup.exe", payload, "C:\\setup.exe", hashing).status,
        SetupWriteStatus::Written);

    const Bytes plain = files.Contents("C:\\plain.exe");
    const Bytes withDigests = files.Contents("C:\\setup.exe");
    ASSERT_EQ(withDigests.size(), plain.size() + DigestRecordSize(3));
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), withDigests.begin()));
    MemorySetupBytes bytes(withDigests);
    SetupArchive archive;
    ASSERT_EQ(LocateSetupArchive(bytes, kMarker, archive), ArchiveStatus::Found);
    FakeHashing check;
    EXPECT_EQ(CheckArchiveDigests(check, bytes, archive).status, DigestCheck::Verified);
    EXPECT_EQ(files.OpenHandles(), 0u);
}

TEST_F(SetupWriterTest, AFailedHashWritesNoOutputAndNamesTheInput) {
    const PayloadInput payload[] = {{"C:\\in\\KOVA.exe", "KOVA.exe"}};
    FakeHashing hashing;
    hashing.fail = true;
    const SetupWriteResult result =
        WriteSetupExecutableWithDigests(files, kMarker, "C:\\in\\setup.exe", payload, "C:\\setup.exe", hashing);
    EXPECT_EQ(result.status, SetupWriteStatus::HashFailed);
    EXPECT_STREQ(result.path, "C:\\in\\KOVA.exe");
    EXPECT_FALSE(files.HasFile("C:\\setup.exe"));
    EXPECT_EQ(files.OpenHandles(), 0u);
}

TEST_F(SetupWriterTest, RefusesEntryNamesThatAreNotBareFileNames) {
    const PayloadInput payload[] = {{"C:\\in\\KOVA.exe", "..\\KOVA.exe"}};
    const SetupWriteResult result = WriteSetupExecutable(files, kMarker, "C:\\in\\setup.exe", payload, "C:\\out.exe");
    EXPECT_EQ(result.status, SetupWriteStatus::BadName);
    EXPECT_FALSE(files.HasFile("C:\\out.exe"));
}

// The writer refuses what the reader would call damaged, before it creates the output.
TEST_F(SetupWriterTest, RefusesWhatTheReaderWouldCallDamaged) {
    const PayloadInput device[] = {{"C:\\in\\KOVA.exe", "KOVA.exe"}, {"C:\\in\\KOVA.hlp", "nul.hlp"}};
    const PayloadInput twice[] = {{"C:\\in\\KOVA.exe", "KOVA.exe"}, {"C:\\in\\KOVA.hlp", "kova.EXE"}};
    std::vector<PayloadInput> seventeen(17, PayloadInput{"C:\\in\\KOVA.cnt", "KOVA.cnt"});
    struct Case {
        const char* what;
        std::span<const PayloadInput> payload;
        SetupWriteStatus status;
        ArchiveFault fault;
        const char* path;
    };
    const std::string longName(256, 'n');
    const PayloadInput longPayload[] = {{"C:\\in\\KOVA.exe", longName.c_str()}};
    const Case cases[] = {
        {"device name", device, SetupWriteStatus::BadName, ArchiveFault::DeviceName, "C:\\in\\KOVA.hlp"},
        {"case-only twin", twice, SetupWriteStatus::BadName, ArchiveFault::SameName, "C:\\in\\KOVA.hlp"},
        {"name too long", longPayload, SetupWriteStatus::BadName, ArchiveFault::NameTooLong, "C:\\in\\KOVA.exe"},
        {"seventeen files", seventeen, SetupWriteStatus::TooManyFiles, ArchiveFault::TooManyEntries, nullptr},
    };
    for (const Case& c : cases) {
        const SetupWriteResult result =
            WriteSetupExecutable(files, kMarker, "C:\\in\\setup.exe", c.payload, "C:\\out.exe");
        EXPECT_EQ(result.status, c.status) << c.what;
        EXPECT_EQ(result.fault, c.fault) << c.what;
        EXPECT_EQ(result.path == nullptr ? std::string() : result.path, c.path == nullptr ? std::string() : c.path)
            << c.what;
        EXPECT_FALSE(files.HasFile("C:\\out.exe")) << c.what;
    }
    EXPECT_STREQ(WriteSetupExecutable(files, kMarker, "C:\\in\\setup.exe", twice, "C:\\out.exe").earlierPath,
                 "C:\\in\\KOVA.exe");
}

}  // namespace
