#include "dialog/defaults_page.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "dialog/control_groups.h"
#include "dialog/installation_directory.h"
#include "dialog/page_groups.h"
#include "dialog/requirements.h"
#include "fake_controls.h"
#include "fake_desktop.h"
#include "fake_messages.h"
#include "fake_volumes.h"
#include "rc_strings.h"
#include "configuration/setup_dialog_record.h"

namespace {

constexpr int kButtonClicked = 0;  // BN_CLICKED

const std::vector<std::vector<int>> kRadioSets = {
    {1006, 1004, 1005}, {1007, 1009}, {1057, 1058}, {1071, 1072}, {1041, 1042, 1043, 1046, 1047}};

class DefaultsPage : public ::testing::Test {
protected:
    void SetUp() override {
        FillControlGroupTable(table);
        printers.names = {"HP LaserJet 4", "Canon iP100", "brother HL-2030"};
        fonts.faces = {"Times New Roman", "Arial", "Courier New", "Arial Black", "arial narrow"};
    }

    // The dialog's start-up, in its order; `stored` is the configuration of an existing installation.
    void Start(const SetupDialog* stored = nullptr) {
        InitNewRecord(record, strings);
        controls.SetChecked(1007, true);
        controls.SetChecked(1004, true);
        FillDefaultsLists(controls, strings);
        installed = stored != nullptr;
        if (installed) {
            record = *stored;
            record.currentTab = 1;
            record.currentTextPage = 1;
        }
        SetDefaultsFromRecord(controls, strings, record);
        CheckPrinters(printers, controls, record);
        SetPrinterFontAndSize(controls, fonts, record, installed);
        SetInstallationDirectory(controls, programs, record, installed);
        SetPrinterFontChoices(controls, record);
        for (const std::vector<int>& set : kRadioSets) {
            int checked = 0;
            for (int id : set) checked += controls.Checked(id) ? 1 : 0;
            EXPECT_EQ(checked, 1) << "radio set of " << set.front();
        }
    }

    void StartInstalled(const std::function<void(SetupDialog&)>& change) {
        SetupDialog stored;
        InitNewRecord(stored, strings);
        std::strcpy(stored.printerName, "Canon iP100");
        std::strcpy(stored.fontName, "Courier New");
        stored.fontSize = 10;
        std::strcpy(stored.installationDirectory, "C:\\KOVA");
        change(stored);
        Start(&stored);
    }

    // The record as Install stores it: the directory from its field, then the settings.
    SetupDialog Gathered() {
        SetupDialog gathered = record;
        FakeVolumes volumes;
        EXPECT_EQ(GatherInstallationDirectory(controls, volumes, gathered, installed).problem, DirectoryProblem::None);
        GatherSettings(controls, gathered);
        return gathered;
    }

    // A click as the user makes it: the control changes its own state, then the dialog hears of it.
    void Click(int id) {
        controls.Click(id);
        EXPECT_TRUE(HandleDefaultsCommand(controls, strings, table, record, id, kButtonClicked)) << id;
    }

    void Choose(int list, const std::string& entry) {
        controls.Choose(list, entry);
        EXPECT_TRUE(HandleDefaultsCommand(controls, strings, table, record, list, kSelectionChanged)) << list;
    }

    std::set<int> VisiblePageControls() const {
        std::set<int> ids;
        for (int id : controls.VisibleIds()) ids.insert(id);
        for (int frame : {1, 2, 3, 1000, 1035, 1036, 1037}) ids.erase(frame);
        return ids;
    }

    ControlGroupTable table;
    FakeControls controls;
    RcStrings strings;
    FakePrinters printers;
    FakeFontFaces fonts{controls};
    FakeProgramsFolder programs;
    SetupDialog record{};
    bool installed = false;
};

TEST_F(DefaultsPage, ListsHoldTheirEntriesSortedAndEachCarriesItsCode) {
    FillDefaultsLists(controls, strings);
    using Items = std::vector<std::string>;
    EXPECT_EQ(controls.Items(1056), (Items{"Creation Date", "Modification Date", "Name", "Size"}));
    EXPECT_EQ(controls.Items(1054), (Items{"contained file count", "contained folder count", "Creation Date",
                                           "Modification Date", "Name", "Size"}));
    EXPECT_EQ(controls.Items(1059), (Items{"Creation Date", "Modification Date", "Size", "Sort Parameter"}));
    EXPECT_EQ(controls.Items(1073), (Items{"contained file count", "contained folder count", "Creation Date",
                                           "Modification Date", "Size", "Sort Parameter"}));
    for (int unitList : {1061, 1075}) EXPECT_EQ(controls.Items(unitList), (Items{"(Auto)", "bytes", "K", "Megabytes"}));

    // Each entry carries the code it stands for, wherever the sorting put it; the code tables of the
    // record name the entry of each code.
    using Codes = std::vector<int>;
    for (int folderList : {1054, 1073}) EXPECT_EQ(controls.Codes(folderList), (Codes{6, 5, 1, 2, 3, 4})) << folderList;
    for (int fileList : {1056, 1059}) EXPECT_EQ(controls.Codes(fileList), (Codes{1, 2, 3, 4})) << fileList;
    for (int unitList : {1061, 1075}) EXPECT_EQ(controls.Codes(unitList), (Codes{0, 1, 2, 3})) << unitList;
    for (int position = 0; position < 6; ++position) {
        EXPECT_EQ(controls.Items(1054)[position], strings.Text(kSortKeyStrings[controls.Codes(1054)[position]]));
        EXPECT_EQ(controls.Items(1073)[position], strings.Text(kDisplayColumnStrings[controls.Codes(1073)[position]]));
    }
    for (int position = 0; position < 4; ++position) {
        EXPECT_EQ(controls.Items(1056)[position], strings.Text(kSortKeyStrings[controls.Codes(1056)[position]]));
        EXPECT_EQ(controls.Items(1059)[position], strings.Text(kDisplayColumnStrings[controls.Codes(1059)[position]]));
        EXPECT_EQ(controls.Items(1061)[position], strings.Text(kSizeUnitStrings[controls.Codes(1061)[position]]));
    }
}

TEST_F(DefaultsPage, NewInstallationOffersTheFirstEntriesAndStoresThem) {
    Start();
    EXPECT_EQ(controls.SelectedText(1056), "Creation Date");
    EXPECT_EQ(controls.SelectedText(1054), "contained file count");
    EXPECT_FALSE(controls.Checked(1045));
    EXPECT_FALSE(controls.Checked(1044));
    EXPECT_EQ(controls.Text(1055), "Ascending");
    EXPECT_EQ(controls.Text(1053), "Ascending");
    EXPECT_TRUE(controls.Checked(1057));
    EXPECT_TRUE(controls.Checked(1071));
    for (int unit : {1061, 1075}) EXPECT_EQ(controls.SelectedText(unit), "(Auto)");
    for (int disabled : {1060, 1061, 1074, 1075}) EXPECT_FALSE(controls.Enabled(disabled)) << disabled;
    EXPECT_EQ(controls.Text(1067), "Do not");
    EXPECT_TRUE(controls.Checked(1007));
    EXPECT_TRUE(controls.Checked(1004));
    EXPECT_EQ(controls.SelectedText(1019), "Arial");
    EXPECT_EQ(controls.Text(1031), "12");
    EXPECT_EQ(controls.SelectedText(1020), "brother HL-2030");
    EXPECT_TRUE(controls.Checked(1041));

    const SetupDialog saved = Gathered();
    EXPECT_EQ(saved.fileSortKey, 1);
    EXPECT_EQ(saved.folderSortKey, 6);
    EXPECT_EQ(saved.sortFiles, 0);
    EXPECT_EQ(saved.sortFolders, 0);
    EXPECT_EQ(saved.fileDisplayColumn, 0);
    EXPECT_EQ(saved.folderDisplayColumn, 0);
    EXPECT_EQ(saved.fileSizeUnit, 0);
    EXPECT_EQ(saved.folderSizeUnit, 0);
    EXPECT_STREQ(saved.fontName, "Arial");
    EXPECT_EQ(saved.fontSize, 12);
    EXPECT_STREQ(saved.printerName, "brother HL-2030");
    EXPECT_EQ(saved.pickFontEveryTime, 1);
    EXPECT_EQ(saved.useDefaultPrinter, 1);
    EXPECT_EQ(saved.pickPrinterEveryTime, 0);
    EXPECT_EQ(saved.installationDirectory, programs.folder);
}

struct DisplayCase {
    const char* name;
    int fileColumn, fileUnit, folderColumn, folderUnit;
    uint8_t fileAtPrintTime, folderAtPrintTime;
    const char* fileShown;
    const char* fileUnitShown;
    const char* folderShown;
    const char* folderUnitShown;
    int savedFileColumn, savedFileUnit, savedFolderColumn, savedFolderUnit;
};

const DisplayCase kDisplayCases[] = {
    {"normal", 0, 0, 0, 0, 0, 0, "Creation Date", "(Auto)", "contained file count", "(Auto)", 0, 0, 0, 0},
    {"folder sizes in Megabytes", 0, 0, 3, 3, 0, 0, "Creation Date", "(Auto)", "Size", "Megabytes", 0, 0, 3, 3},
    {"file sizes in K", 3, 2, 1, 1, 0, 0, "Size", "K", "Creation Date", "(Auto)", 3, 2, 1, 0},
    {"other columns show and store Auto", 4, 3, 5, 2, 0, 0, "Sort Parameter", "(Auto)", "contained folder count",
     "(Auto)", 4, 0, 5, 0},
    {"chosen at print time", 3, 1, 6, 3, 1, 1, "Size", "bytes", "contained file count", "(Auto)", 3, 1, 6, 0},
    {"damaged unit codes", 3, 9, 3, -1, 0, 0, "Size", "(Auto)", "Size", "(Auto)", 3, 0, 3, 0},
    {"damaged column codes", 7, 0, 9, 0, 0, 0, "Creation Date", "(Auto)", "contained file count", "(Auto)", 1, 0, 6, 0},
};

TEST_F(DefaultsPage, DisplayCategoriesShowAndStoreTheirColumnsAndUnits) {
    for (const DisplayCase& c : kDisplayCases) {
        SCOPED_TRACE(c.name);
        controls = FakeControls();
        StartInstalled([&](SetupDialog& stored) {
            stored.fileDisplayColumn = c.fileColumn;
            stored.fileSizeUnit = c.fileUnit;
            stored.folderDisplayColumn = c.folderColumn;
            stored.folderSizeUnit = c.folderUnit;
            stored.fileDisplayAtPrintTime = c.fileAtPrintTime;
            stored.folderDisplayAtPrintTime = c.folderAtPrintTime;
        });
        EXPECT_EQ(controls.Checked(1057), c.fileColumn == 0);
        EXPECT_EQ(controls.Checked(1071), c.folderColumn == 0);
        EXPECT_EQ(controls.SelectedText(1059), c.fileShown);
        EXPECT_EQ(controls.SelectedText(1061), c.fileUnitShown);
        EXPECT_EQ(controls.SelectedText(1073), c.folderShown);
        EXPECT_EQ(controls.SelectedText(1075), c.folderUnitShown);
        // The unit controls follow the display column alone, whatever the print-time flag.
        for (int id : {1060, 1061}) EXPECT_EQ(controls.Enabled(id), c.fileColumn == 3) << id;
        for (int id : {1074, 1075}) EXPECT_EQ(controls.Enabled(id), c.folderColumn == 3) << id;
        for (int id : {1057, 1058, 1059}) EXPECT_EQ(controls.Enabled(id), !c.fileAtPrintTime) << id;
        for (int id : {1071, 1072, 1073}) EXPECT_EQ(controls.Enabled(id), !c.folderAtPrintTime) << id;
        EXPECT_EQ(controls.Checked(1066), c.fileAtPrintTime != 0);
        EXPECT_EQ(controls.Checked(1076), c.folderAtPrintTime != 0);

        const SetupDialog saved = Gathered();
        EXPECT_EQ(saved.fileDisplayColumn, c.savedFileColumn);
        EXPECT_EQ(saved.fileSizeUnit, c.savedFileUnit);
        EXPECT_EQ(saved.folderDisplayColumn, c.savedFolderColumn);
        EXPECT_EQ(saved.folderSizeUnit, c.savedFolderUnit);
        EXPECT_EQ(saved.fileDisplayAtPrintTime, c.fileAtPrintTime);
        EXPECT_EQ(saved.folderDisplayAtPrintTime, c.folderAtPrintTime);
    }
}

struct SortCase {
    const char* name;
    uint8_t sortFiles, sortFolders;
    int fileKey, folderKey, fileDescending, folderDescending;
    uint8_t atPrintTime;
    const char* fileKeyShown;
    const char* folderKeyShown;
    const char* fileOrder;
    const char* folderOrder;
    int savedFileKey, savedFolderKey;
};

const SortCase kSortCases[] = {
    {"none chosen", 0, 0, 0, 0, 0, 0, 0, "Creation Date", "contained file count", "Ascending", "Ascending", 1, 6},
    {"name and size, descending", 1, 1, 3, 4, 1, 1, 0, "Name", "Size", "Descending", "Descending", 3, 4},
    {"folder count", 0, 1, 2, 5, 0, 1, 0, "Modification Date", "contained folder count", "Ascending", "Descending", 2,
     5},
    {"chosen at print time", 1, 0, 4, 1, 1, 0, 1, "Size", "Creation Date", "Descending", "Ascending", 4, 1},
    {"damaged keys", 0, 0, 6, 8, 0, 0, 0, "Creation Date", "contained file count", "Ascending", "Ascending", 1, 6},
};

TEST_F(DefaultsPage, SortingShowsAndStoresItsSettingsEvenWhenChosenAtPrintTime) {
    for (const SortCase& c : kSortCases) {
        SCOPED_TRACE(c.name);
        controls = FakeControls();
        StartInstalled([&](SetupDialog& stored) {
            stored.sortFiles = c.sortFiles;
            stored.sortFolders = c.sortFolders;
            stored.fileSortKey = c.fileKey;
            stored.folderSortKey = c.folderKey;
            stored.fileSortDescending = c.fileDescending;
            stored.folderSortDescending = c.folderDescending;
            stored.sortAtPrintTime = c.atPrintTime;
        });
        EXPECT_EQ(controls.Checked(1045), c.sortFiles != 0);
        EXPECT_EQ(controls.Checked(1044), c.sortFolders != 0);
        EXPECT_EQ(controls.Checked(1065), c.atPrintTime != 0);
        EXPECT_EQ(controls.SelectedText(1056), c.fileKeyShown);
        EXPECT_EQ(controls.SelectedText(1054), c.folderKeyShown);
        EXPECT_EQ(controls.Text(1055), c.fileOrder);
        EXPECT_EQ(controls.Text(1053), c.folderOrder);
        for (int id : {1045, 1044, 1056, 1054, 1055, 1053}) EXPECT_EQ(controls.Enabled(id), !c.atPrintTime) << id;

        const SetupDialog saved = Gathered();
        EXPECT_EQ(saved.sortFiles, c.sortFiles);
        EXPECT_EQ(saved.sortFolders, c.sortFolders);
        EXPECT_EQ(saved.fileSortKey, c.savedFileKey);
        EXPECT_EQ(saved.folderSortKey, c.savedFolderKey);
    }
}

TEST_F(DefaultsPage, BackdropShowsItsChoice) {
    struct Case {
        uint8_t print, atPrintTime;
        const char* text;
    };
    for (const Case& c : {Case{0, 0, "Do not"}, Case{1, 0, "Do"}, Case{1, 1, "Do"}, Case{0, 1, "Do not"}}) {
        SCOPED_TRACE(c.text + std::string(c.atPrintTime ? " at print time" : ""));
        controls = FakeControls();
        StartInstalled([&](SetupDialog& stored) {
            stored.printBackdrop = c.print;
            stored.backdropAtPrintTime = c.atPrintTime;
        });
        EXPECT_EQ(controls.Text(1067), c.text);
        EXPECT_EQ(controls.Checked(1069), c.atPrintTime != 0);
        for (int id : {1067, 1068}) EXPECT_EQ(controls.Enabled(id), !c.atPrintTime) << id;
    }
}

struct ChoiceCase {
    const char* name;
    const char* printerName;
    const char* fontName;
    int fontSize;
    uint8_t useDefaultPrinter, pickPrinterEveryTime, pickFontEveryTime;
    const char* printerShown;
    const char* fontShown;
    const char* sizeShown;
    int printerRadio, fontRadio;
    const char* savedPrinter;
    const char* savedFont;
};

const ChoiceCase kChoiceCases[] = {
    {"exact names", "Canon iP100", "Courier New", 10, 1, 0, 1, "Canon iP100", "Courier New", "10", 1004, 1007,
     "Canon iP100", "Courier New"},
    {"letter case differs", "CANON", "times", 14, 0, 1, 0, "Canon iP100", "Times New Roman", "14", 1006, 1009,
     "Canon iP100", "Times New Roman"},
    {"the face comes before longer faces", "HP", "Arial", 8, 0, 0, 0, "HP LaserJet 4", "Arial", "8", 1005, 1009,
     "HP LaserJet 4", "Arial"},
    {"beginning of a longer face", "brother", "ARIAL N", -3, 0, 0, 1, "brother HL-2030", "arial narrow", "-3", 1005,
     1007, "brother HL-2030", "arial narrow"},
    {"printer and font gone", "Gone Printer", "Gone Font", 12, 0, 0, 0, "", "", "12", 1005, 1009, "Gone Printer",
     "Gone Font"},
};

TEST_F(DefaultsPage, PrinterAndFontFollowTheStoredNamesAndKeepThemWhenGone) {
    for (const ChoiceCase& c : kChoiceCases) {
        SCOPED_TRACE(c.name);
        controls = FakeControls();
        StartInstalled([&](SetupDialog& stored) {
            std::strcpy(stored.printerName, c.printerName);
            std::strcpy(stored.fontName, c.fontName);
            stored.fontSize = c.fontSize;
            stored.useDefaultPrinter = c.useDefaultPrinter;
            stored.pickPrinterEveryTime = c.pickPrinterEveryTime;
            stored.pickFontEveryTime = c.pickFontEveryTime;
        });
        EXPECT_EQ(controls.SelectedText(1020), c.printerShown);
        EXPECT_EQ(controls.SelectedText(1019), c.fontShown);
        EXPECT_EQ(controls.Text(1031), c.sizeShown);
        EXPECT_TRUE(controls.Checked(c.printerRadio));
        EXPECT_TRUE(controls.Checked(c.fontRadio));

        const SetupDialog saved = Gathered();
        EXPECT_STREQ(saved.printerName, c.savedPrinter);
        EXPECT_STREQ(saved.fontName, c.savedFont);
        EXPECT_EQ(saved.fontSize, c.fontSize);
        EXPECT_EQ(saved.useDefaultPrinter, c.useDefaultPrinter);
        EXPECT_EQ(saved.pickPrinterEveryTime, c.pickPrinterEveryTime);
        EXPECT_EQ(saved.pickFontEveryTime, c.pickFontEveryTime);
    }
}

TEST_F(DefaultsPage, GatheredRadiosFollowTheUsersChoice) {
    Start();
    controls.Click(1005);
    controls.Click(1009);
    SetupDialog saved = Gathered();
    EXPECT_EQ(saved.useDefaultPrinter, 0);
    EXPECT_EQ(saved.pickPrinterEveryTime, 0);
    EXPECT_EQ(saved.pickFontEveryTime, 0);
    controls.Click(1006);
    saved = Gathered();
    EXPECT_EQ(saved.useDefaultPrinter, 0);
    EXPECT_EQ(saved.pickPrinterEveryTime, 1);
}

TEST_F(DefaultsPage, FontSizeIsTheLeadingNumberOfItsText) {
    struct Case {
        const char* text;
        int32_t size;
    };
    const Case cases[] = {{"  42abc", 42},
                          {"abc", 0},
                          {"", 0},
                          {"-7", -7},
                          {"+13pt", 13},
                          {"\t 8", 8},
                          {"1 2", 1},
                          {"- 5", 0},
                          {"007", 7},
                          {"99999999999", INT32_MAX},
                          {"-99999999999", INT32_MIN}};
    Start();
    for (const Case& c : cases) {
        controls.SetText(1031, c.text);
        EXPECT_EQ(Gathered().fontSize, c.size) << "[" << c.text << "]";
    }
}

TEST_F(DefaultsPage, FontSizeIsAcceptedAsAWholeNumberFrom1To1638) {
    struct Case {
        const char* text;
        bool accepted;
    };
    const Case cases[] = {{"12", true},     {"  42abc", true}, {"+13pt", true}, {"1", true},
                          {"1638", true},   {"12.5", true},    {"", false},     {"   ", false},
                          {"abc", false},   {"0", false},      {"-5", false},   {"1639", false},
                          {"99999", false}, {"- 5", false},    {"x12", false},  {"99999999999", false}};
    Start();
    for (const Case& c : cases) {
        controls.SetText(1031, c.text);
        EXPECT_EQ(FontSizeAccepted(controls), c.accepted) << "[" << c.text << "]";
    }
}

TEST_F(DefaultsPage, AFontSizeThatIsRefusedIsQuotedInItsMessage) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"99999",
         "The font size \"99999\" is not a whole number from 1 to 1638. Please enter the size in points, such as 12."},
        {"", "Please enter a font size: a whole number of points from 1 to 1638, such as 12."},
    };
    Start();
    for (const Case& c : cases) {
        FakeMessages messages;
        controls.SetText(1031, c.text);
        ReportFontSizeProblem(controls, messages);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, c.message);
        EXPECT_EQ(messages.shown[0].caption, "Font Size");
        EXPECT_EQ(messages.shown[0].style, MessageStyle::Ok | MessageStyle::IconWarning);
    }
}

TEST_F(DefaultsPage, ListsWithoutSelectionGiveNoCodeAndKeepTheNames) {
    StartInstalled([](SetupDialog& stored) {
        stored.fileDisplayColumn = 2;
        stored.folderDisplayColumn = 3;
        stored.folderSizeUnit = 2;
    });
    for (int list : {1056, 1054, 1059, 1073, 1061, 1075, 1019, 1020}) controls.Select(list, -1);
    const SetupDialog saved = Gathered();
    EXPECT_EQ(saved.fileSortKey, 0);
    EXPECT_EQ(saved.folderSortKey, 0);
    EXPECT_EQ(saved.fileDisplayColumn, 0);
    EXPECT_EQ(saved.folderDisplayColumn, 0);
    EXPECT_EQ(saved.fileSizeUnit, 0);
    EXPECT_EQ(saved.folderSizeUnit, 0);
    EXPECT_STREQ(saved.printerName, "Canon iP100");
    EXPECT_STREQ(saved.fontName, "Courier New");
}

TEST_F(DefaultsPage, MachineWithoutTrueTypeFacesKeepsTheStoredFont) {
    fonts.faces.clear();
    StartInstalled([](SetupDialog&) {});
    EXPECT_TRUE(controls.Items(1019).empty());
    EXPECT_STREQ(Gathered().fontName, "Courier New");
}

TEST_F(DefaultsPage, LongNamesAreCutToTheirFields) {
    const std::string longPrinter(300, 'P');
    const std::string longFont(300, 'F');
    printers.names = {longPrinter};
    fonts.faces = {longFont};
    Start();
    const SetupDialog saved = Gathered();
    EXPECT_EQ(std::string(saved.printerName, strnlen(saved.printerName, kRecordTextSize)), longPrinter.substr(0, 254));
    EXPECT_EQ(std::string(saved.fontName, strnlen(saved.fontName, kRecordTextSize)), longFont.substr(0, 254));
    EXPECT_EQ(saved.fontSize, 12);
    for (uint8_t padding : saved.padding5) EXPECT_EQ(padding, 0);
    for (uint8_t padding : saved.padding6) EXPECT_EQ(padding, 0);
}

TEST_F(DefaultsPage, StoredNamesWithoutTerminatorAreSoughtWithTheirFieldOnly) {
    SetupDialog stored;
    InitNewRecord(stored, strings);
    std::memset(stored.printerName, 'Q', sizeof stored.printerName);
    std::memset(stored.installationDirectory, 'D', sizeof stored.installationDirectory);
    printers.names = {std::string(254, 'Q') + " longer"};
    Start(&stored);
    EXPECT_EQ(controls.SelectedText(1020), std::string(254, 'Q') + " longer");
    EXPECT_EQ(controls.Text(1030), std::string(259, 'D'));
}

TEST_F(DefaultsPage, SortOrderButtonsFlipBetweenAscendingAndDescending) {
    struct Case {
        int button;
        int32_t SetupDialog::*field;
    };
    for (const Case& c :
         {Case{1055, &SetupDialog::fileSortDescending}, Case{1053, &SetupDialog::folderSortDescending}}) {
        SCOPED_TRACE(c.button);
        controls = FakeControls();
        StartInstalled([&](SetupDialog& stored) { stored.*c.field = 7; });
        EXPECT_EQ(controls.Text(c.button), "Descending");
        Click(c.button);
        EXPECT_EQ(record.*c.field, 0);
        EXPECT_EQ(controls.Text(c.button), "Ascending");
        Click(c.button);
        EXPECT_EQ(record.*c.field, 1);
        EXPECT_EQ(controls.Text(c.button), "Descending");
        EXPECT_EQ(Gathered().*c.field, 1);
    }
}

TEST_F(DefaultsPage, BackdropButtonFlipsBetweenDoAndDoNot) {
    Start();
    Click(1067);
    EXPECT_EQ(record.printBackdrop, 1);
    EXPECT_EQ(controls.Text(1067), "Do");
    Click(1067);
    EXPECT_EQ(record.printBackdrop, 0);
    EXPECT_EQ(controls.Text(1067), "Do not");
}

TEST_F(DefaultsPage, PrintTimeCheckBoxesDisableTheirInputsAndStoreTheFlag) {
    struct Case {
        int checkBox;
        uint8_t SetupDialog::*flag;
        std::vector<int> inputs;
    };
    const Case cases[] = {
        {1065, &SetupDialog::sortAtPrintTime, {1045, 1044, 1055, 1056, 1054, 1053}},
        {1069, &SetupDialog::backdropAtPrintTime, {1067, 1068}},
        {1066, &SetupDialog::fileDisplayAtPrintTime, {1057, 1058, 1059, 1060, 1061}},
        {1076, &SetupDialog::folderDisplayAtPrintTime, {1071, 1072, 1073, 1074, 1075}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.checkBox);
        controls = FakeControls();
        // Both display lists on "Size", so that every unit control is enabled to begin with.
        StartInstalled([](SetupDialog& stored) {
            stored.fileDisplayColumn = 3;
            stored.folderDisplayColumn = 3;
        });
        for (int id : c.inputs) ASSERT_TRUE(controls.Enabled(id)) << id;
        Click(c.checkBox);
        EXPECT_TRUE(controls.Checked(c.checkBox));
        EXPECT_EQ(record.*c.flag, 1);
        for (int id : c.inputs) EXPECT_FALSE(controls.Enabled(id)) << id;
        Click(c.checkBox);
        EXPECT_FALSE(controls.Checked(c.checkBox));
        EXPECT_EQ(record.*c.flag, 0);
        for (int id : c.inputs) EXPECT_TRUE(controls.Enabled(id)) << id;
        EXPECT_EQ(Gathered().*c.flag, 0);
    }
}

TEST_F(DefaultsPage, SwitchingPrintTimeOffEnablesTheUnitsOnlyForSize) {
    struct Case {
        int checkBox, list, label, unit;
        const char* entry;
    };
    const Case cases[] = {{1066, 1059, 1060, 1061, "Size"},
                          {1066, 1059, 1060, 1061, "Modification Date"},
                          {1076, 1073, 1074, 1075, "Size"},
                          {1076, 1073, 1074, 1075, "contained folder count"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.checkBox) + " " + c.entry);
        controls = FakeControls();
        Start();
        Choose(c.list, c.entry);
        Click(c.checkBox);
        Click(c.checkBox);
        const bool size = std::string(c.entry) == "Size";
        EXPECT_EQ(controls.Enabled(c.label), size);
        EXPECT_EQ(controls.Enabled(c.unit), size);
    }
}

TEST_F(DefaultsPage, DisplayListsEnableTheirUnitsForSizeOnly) {
    Start();
    for (int list : {1059, 1073}) {
        const int label = list == 1059 ? 1060 : 1074;
        const int unit = list == 1059 ? 1061 : 1075;
        for (const std::string& entry : controls.Items(list)) {
            Choose(list, entry);
            EXPECT_EQ(controls.Enabled(label), entry == "Size") << entry;
            EXPECT_EQ(controls.Enabled(unit), entry == "Size") << entry;
        }
    }
    // Choosing "Megabytes" for folders is stored as its code.
    Choose(1073, "Size");
    controls.Choose(1075, "Megabytes");
    controls.Click(1072);
    const SetupDialog saved = Gathered();
    EXPECT_EQ(saved.folderDisplayColumn, 3);
    EXPECT_EQ(saved.folderSizeUnit, 3);
}

TEST_F(DefaultsPage, OnlyItsOwnCommandsAreHandled) {
    Start();
    controls.Choose(1059, "Size");
    // Other notifications of the display lists (here CBN_DROPDOWN) change nothing.
    EXPECT_FALSE(HandleDefaultsCommand(controls, strings, table, record, 1059, 7));
    EXPECT_FALSE(controls.Enabled(1061));
    EXPECT_FALSE(HandleDefaultsCommand(controls, strings, table, record, 1073, 7));
    for (int id : {1, 2, 3, 1004, 1005, 1006, 1007, 1009, 1019, 1020, 1031, 1044, 1045, 1054, 1056, 1061, 1075, 1029}) {
        EXPECT_FALSE(HandleDefaultsCommand(controls, strings, table, record, id, kButtonClicked)) << id;
    }
}

TEST_F(DefaultsPage, CategoryButtonsShowTheirCategoryAndStoreIt) {
    const int buttons[] = {1041, 1042, 1043, 1046, 1047};
    for (int category = 0; category < kDefaultsCategoryCount; ++category) {
        SCOPED_TRACE(category);
        controls = FakeControls();
        StartInstalled([&](SetupDialog& stored) { stored.defaultsCategory = (category + 2) % kDefaultsCategoryCount; });
        EXPECT_TRUE(controls.Checked(buttons[(category + 2) % kDefaultsCategoryCount]));
        ShowTabPage(controls, table, record, kTabDefaults);
        Click(buttons[category]);
        EXPECT_EQ(record.defaultsCategory, category);
        const ControlGroup& group = table[kTabDefaults][category];
        std::set<int> expected;
        for (size_t i = 0; i < group.size(); ++i) expected.insert(group[i]);
        EXPECT_EQ(VisiblePageControls(), expected);
        for (int other = 0; other < kDefaultsCategoryCount; ++other) {
            EXPECT_EQ(controls.Checked(buttons[other]), other == category) << buttons[other];
        }
        EXPECT_EQ(Gathered().defaultsCategory, category);
    }
}

}  // namespace
