#include "configuration/configuration.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "stored_records.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr RegRoot HKLM = RegRoot::LocalMachine;

class ConfigurationTest : public ::testing::Test, protected FakePlatform {};

// ---------------------------------------------------------------- version numbers

TEST(VersionNumber, FollowsTheDigitDigitLetterRule) {
    struct Case {
        const char* text;
        int number;
    };
    const Case cases[] = {{"1.0", 159},  {"1.0a", 256}, {"1.0c", 258}, {"1.0e", 260},
                          {"1.0f", 261}, {"1.1a", 384}, {"2.0a", 512}, {"12.3b", 12 * 256 + 3 * 128 + 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(VersionNumber(c.text), c.number) << c.text;
        if (std::strlen(c.text) <= 4) {
            std::array<uint8_t, 4> stored{};
            std::memcpy(stored.data(), c.text, std::strlen(c.text));
            EXPECT_EQ(StoredVersionNumber(stored), c.number) << c.text;
        }
    }
}

TEST(StoredVersionText, NeedsADotBeforeTheFirstZero) {
    struct Case {
        Bytes bytes;
        bool found;
        const char* text;
    };
    const Case cases[] = {
        {{'1', '.', '0', 'c', 'x', 'y'}, true, "1.0c"},
        {{'1', '.', '0', 0, 'x'}, true, "1.0"},
        {{'1', '.'}, true, "1."},
        {{'1', '0', 0, '.'}, false, ""},
        {{0, 0, 0, 0}, false, ""},
        {{'a', 'b', 'c', 'd', '.'}, true, "abcd"},
        {{}, false, ""},
    };
    for (const Case& c : cases) {
        char text[5] = {};
        EXPECT_EQ(StoredVersionText(c.bytes, text), c.found);
        if (c.found) {
            EXPECT_STREQ(text, c.text);
        }
    }
}

// ---------------------------------------------------------------- conversions

struct OldLayout {
    size_t size;
    size_t shift;
    const char version[4];
    uint8_t backdrop;
};

class ConversionTest : public ::testing::TestWithParam<OldLayout> {};

TEST_P(ConversionTest, CarriesTheSharedFieldsAndSetsTheRest) {
    const OldLayout layout = GetParam();
    Bytes old(layout.size);
    for (size_t i = 0; i < old.size(); ++i) old[i] = static_cast<uint8_t>(0x21 + i % 90);  // no zero bytes
    auto put = [&](size_t currentOffset, const void* bytes, size_t count) {
        std::memcpy(old.data() + currentOffset - layout.shift, bytes, count);
    };
    put(offsetof(SetupDialog, fontName), "Arial", 6);
    put(offsetof(SetupDialog, printerName), "LaserJet", 9);
    put(offsetof(SetupDialog, installationDirectory), "D:\\Tools\\KOVA", 14);
    const int32_t fontSize = 14;
    put(offsetof(SetupDialog, fontSize), &fontSize, 4);

    SetupDialog record;
    std::memset(&record, 0xEE, sizeof record);
    ConvertStoredConfiguration(old, record);

    SetupDialog expected = Zero();
    std::memcpy(expected.version, layout.version, 4);
    expected.currentTextPage = 1;
    expected.sortAtPrintTime = 1;
    expected.fileDisplayAtPrintTime = 1;
    expected.backdropAtPrintTime = layout.backdrop;
    auto from = [&](size_t currentOffset) { return old[currentOffset - layout.shift]; };
    expected.defaultsReviewed = from(76);
    expected.installationReviewed = from(77);
    std::memcpy(expected.reserved3, old.data() + 79 - layout.shift, 767);
    expected.pickFontEveryTime = from(857);
    std::strcpy(expected.fontName, "Arial");
    expected.fontSize = 14;
    expected.useDefaultPrinter = from(1124);
    std::strcpy(expected.printerName, "LaserJet");
    std::strcpy(expected.installationDirectory, "D:\\Tools\\KOVA");

    EXPECT_EQ(Image(record), Image(expected));
}

TEST_P(ConversionTest, UnterminatedTextsEndWithinTheirFields) {
    const OldLayout layout = GetParam();
    const Bytes old(layout.size, 'x');
    SetupDialog record;
    ConvertStoredConfiguration(old, record);
    EXPECT_EQ(strnlen(record.fontName, sizeof record.fontName), sizeof record.fontName - 1);
    EXPECT_EQ(strnlen(record.printerName, sizeof record.printerName), sizeof record.printerName - 1);
    EXPECT_EQ(strnlen(record.installationDirectory, kMaxPath), kMaxPath - 1);
    EXPECT_EQ(record.pickPrinterEveryTime, 0);
    EXPECT_EQ(record.folderDisplayAtPrintTime, 0);
}

INSTANTIATE_TEST_SUITE_P(OldLayouts, ConversionTest,
                         ::testing::Values(OldLayout{1584, 60, {'1', '.', '0', 'a'}, 1},
                                           OldLayout{1580, 64, {'1', '.', '0', '\0'}, 0}));

TEST(Conversion, CurrentLayoutIsKeptAndOtherSizesClear) {
    SetupDialog record;
    const Bytes current = Stored("1.0c");
    EXPECT_EQ(ConvertStoredConfiguration(current, record), StoredLayout::Current);
    EXPECT_EQ(Image(record), current);
    for (size_t size : {size_t{0}, size_t{4}, size_t{1000}, size_t{1643}, size_t{1645}, size_t{4000}}) {
        const Bytes odd(size, 0x33);
        std::memset(&record, 0x77, sizeof record);
        EXPECT_EQ(ConvertStoredConfiguration(odd, record), StoredLayout::Unknown) << size;
        EXPECT_EQ(Image(record), Image(Zero())) << size;
    }
}

// ---------------------------------------------------------------- load and save

TEST_F(ConfigurationTest, LoadReadsTheWholeRecordWithQueryAccess) {
    registry.AddBinary(HKLM, "SOFTWARE\\kova", "CONFIG", Stored("1.0e"));
    SetupDialog record = Zero();
    EXPECT_TRUE(LoadConfiguration(platform, record));
    EXPECT_EQ(Image(record), Stored("1.0e"));
    EXPECT_EQ(registry.log,
              (std::vector<std::string>{"open HKLM\\Software\\KOVA 0x1", "query HKLM\\Software\\KOVA Config",
                                        "close HKLM\\Software\\KOVA"}));
}

// A missing value, or one that is not a whole record whatever its size, leaves the defaults.
TEST_F(ConfigurationTest, LoadKeepsTheRecordUnlessAWholeRecordIsStored) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{1584}, size_t{1643}, size_t{1645}, size_t{100000}}) {
        SCOPED_TRACE(size);
        registry.AddBinary(HKLM, "Software\\KOVA", "config", Bytes(size, 0x41));
        SetupDialog record = Zero();
        record.pickFontEveryTime = 1;
        const Bytes before = Image(record);
        EXPECT_TRUE(LoadConfiguration(platform, record));
        EXPECT_EQ(Image(record), before);
    }
    FakeRegistry empty;
    registry = std::move(empty);
    registry.AddKey(HKLM, "Software\\KOVA");
    SetupDialog record = Zero();
    EXPECT_TRUE(LoadConfiguration(platform, record));
    EXPECT_EQ(Image(record), Image(Zero()));
}

TEST_F(ConfigurationTest, LoadWithoutKeyReportsNotInstalled) {
    SetupDialog record = Zero();
    record.fontSize = 9;
    EXPECT_FALSE(LoadConfiguration(platform, record));
    EXPECT_EQ(record.fontSize, 9);
}

TEST_F(ConfigurationTest, LoadedTextsEndWithinTheirFields) {
    Bytes stored(1644, 'z');
    registry.AddBinary(HKLM, "Software\\KOVA", "config", stored);
    SetupDialog record = Zero();
    LoadConfiguration(platform, record);
    EXPECT_EQ(strnlen(record.installationDirectory, kMaxPath), kMaxPath - 1);
    EXPECT_EQ(strnlen(record.fontName, sizeof record.fontName), sizeof record.fontName - 1);
}

// The first save (Install) records the install under way before the settings; an Update does not.
TEST_F(ConfigurationTest, SaveOpensOrCreatesWithAllAccessAndWritesTheRecord) {
    const Bytes stored = Stored("1.0e");
    SetupDialog record;
    std::memcpy(&record, stored.data(), sizeof record);

    EXPECT_TRUE(SaveConfiguration(platform, record, false));
    EXPECT_EQ(registry.Binary(HKLM, "Software\\KOVA", "config"), stored);
    EXPECT_TRUE(SaveConfiguration(platform, record, true));
    EXPECT_EQ(registry.log, (std::vector<std::string>{
                                "create HKLM\\Software\\KOVA 0xf003f", "setdword HKLM\\Software\\KOVA Unfinished",
                                "setbinary HKLM\\Software\\KOVA Config", "close HKLM\\Software\\KOVA",
                                "open HKLM\\Software\\KOVA 0xf003f", "setbinary HKLM\\Software\\KOVA Config",
                                "close HKLM\\Software\\KOVA"}));
}

TEST_F(ConfigurationTest, SaveWithoutWriteRightStoresNothing) {
    registry.DenyWrite(HKLM, "Software", true);
    SetupDialog record = Zero();
    EXPECT_FALSE(SaveConfiguration(platform, record, false));
    registry.AddKey(HKLM, "Software\\KOVA");
    EXPECT_FALSE(SaveConfiguration(platform, record, true));
    EXPECT_FALSE(registry.Binary(HKLM, "Software\\KOVA", "config").has_value());
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

// Install and Update: settings that cannot be stored are reported, with no success box, and
// Install writes no files; a key that Install created is removed, so the next start offers Install.

}  // namespace
