#include "configuration/setup_dialog_record.h"

#include <gtest/gtest.h>

#include <cstring>

#include "rc_strings.h"

namespace {

TEST(SetupDialogRecord, NewRecordHoldsTheDefaultsAndZeroElsewhere) {
    RcStrings strings;
    SetupDialog record;
    std::memset(&record, 0xAB, sizeof record);
    InitNewRecord(record, strings);

    EXPECT_EQ(std::string(record.version, 4), KOVA_VERSION);
    EXPECT_EQ(record.currentTab, 1);
    EXPECT_EQ(record.currentTextPage, 1);
    EXPECT_EQ(record.pickFontEveryTime, 1);
    EXPECT_EQ(record.useDefaultPrinter, 1);

    SetupDialog expected;
    std::memset(&expected, 0, sizeof expected);
    std::memcpy(expected.version, KOVA_VERSION, 4);
    expected.currentTab = 1;
    expected.currentTextPage = 1;
    expected.pickFontEveryTime = 1;
    expected.useDefaultPrinter = 1;
    EXPECT_EQ(std::memcmp(&record, &expected, sizeof record), 0);
}

TEST(SetupDialogRecord, VersionTakesTheFirstFourCharactersWithoutTerminator) {
    RcStrings strings;
    strings.Override(26, "12.3z-long");
    SetupDialog record;
    InitNewRecord(record, strings);
    EXPECT_EQ(std::string(record.version, 4), "12.3");
    EXPECT_EQ(record.reserved1[0], 0);
}

// The stored bytes, seen from outside the struct: each field lands at its offset.
TEST(SetupDialogRecord, FieldsLandAtTheirStoredOffsets) {
    SetupDialog record{};
    record.currentTextPage = 0x01020304;
    record.fontSize = 12;
    std::strcpy(record.fontName, "Arial");
    std::strcpy(record.installationDirectory, "C:\\KOVA");
    record.registryPrivilege = 1;
    uint8_t bytes[kSetupDialogSize];
    std::memcpy(bytes, &record, sizeof bytes);

    EXPECT_EQ(bytes[12], 0x04);
    EXPECT_EQ(bytes[15], 0x01);
    EXPECT_EQ(bytes[1116], 12);
    EXPECT_EQ(std::memcmp(bytes + 858, "Arial", 6), 0);
    EXPECT_EQ(std::memcmp(bytes + 1381, "C:\\KOVA", 8), 0);
    EXPECT_EQ(bytes[78], 1);
}

// A text field reads up to its terminator; one without (a damaged stored value) is cut where a
// terminator would have to stand, so no reader runs past the field.
TEST(SetupDialogRecord, RecordTextEndsAtTheTerminatorOrBeforeTheFieldsLastByte) {
    SetupDialog record{};
    EXPECT_EQ(RecordText(record.fontName), "");
    std::strcpy(record.fontName, "Arial");
    std::memset(record.fontName + 6, 'x', 10);
    EXPECT_EQ(RecordText(record.fontName), "Arial");

    std::memset(record.printerName, 'p', sizeof record.printerName);
    record.pickPrinterEveryTime = 'q';
    EXPECT_EQ(RecordText(record.printerName), std::string(kRecordTextSize - 1, 'p'));

    std::memset(record.installationDirectory, 'd', sizeof record.installationDirectory);
    record.padding6[0] = 'e';
    EXPECT_EQ(RecordText(record.installationDirectory), std::string(kMaxPath - 1, 'd'));
}

// Each code table names the list entry the Defaults page shows for the code.
TEST(SetupDialogRecord, CodeTablesNameTheListEntries) {
    RcStrings strings;
    const char* sortKeys[] = {"",     "Creation Date",          "Modification Date",   "Name",
                              "Size", "contained folder count", "contained file count"};
    for (size_t code = 1; code < kSortKeyStrings.size(); ++code)
        EXPECT_EQ(strings.Text(kSortKeyStrings[code]), sortKeys[code]) << code;
    const char* columns[] = {"",
                             "Creation Date",
                             "Modification Date",
                             "Size",
                             "Sort Parameter",
                             "contained folder count",
                             "contained file count"};
    for (size_t code = 1; code < kDisplayColumnStrings.size(); ++code)
        EXPECT_EQ(strings.Text(kDisplayColumnStrings[code]), columns[code]) << code;
    EXPECT_EQ(strings.Text(kDisplayColumnStrings[kDisplayColumnSize]), "Size");
    const char* units[] = {"(Auto)", "bytes", "K", "Megabytes"};
    for (size_t code = 0; code < kSizeUnitStrings.size(); ++code)
        EXPECT_EQ(strings.Text(kSizeUnitStrings[code]), units[code]) << code;
}

}  // namespace
