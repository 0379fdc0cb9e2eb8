#include "dialog/defaults_page.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "configuration/setup_dialog_record.h"
#include "dialog/control_groups.h"
#include "dialog/installation_directory.h"
#include "dialog/page_groups.h"
#include "dialog/requirements.h"
#include "fake_controls.h"
#include "fake_desktop.h"
#include "fake_messages.h"
#include "fake_volumes.h"
#include "rc_strings.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kButtonClicked = 0;  // BN_CLICKED
constexpr int kDropDown = 7;       // CBN_DROPDOWN

const std::vector<std::vector<int>> kRadioSets = {
    {IDC_PICK_PRINTER_EVERY_TIME, IDC_USE_DEFAULT_PRINTER, IDC_USE_THIS_PRINTER},
    {IDC_PICK_FONT_EVERY_TIME, IDC_USE_THIS_FONT},
    {IDC_FILE_DISPLAY_NORMAL, IDC_FILE_DISPLAY_ENHANCED},
    {IDC_FOLDER_DISPLAY_NORMAL, IDC_FOLDER_DISPLAY_ENHANCED},
    {IDC_CATEGORY_PRINTER_FONT, IDC_CATEGORY_SORTING, IDC_CATEGORY_FILE_DISPLAY, IDC_CATEGORY_BACKDROP,
     IDC_CATEGORY_FOLDER_DISPLAY}};

class DefaultsPage : public ::testing::Test {
protected:
    void SetUp() override {
        printers.names = {"HP LaserJet 4", "Canon iP100", "brother HL-2030"};
        fonts.faces = {"Times New Roman", "Arial", "Courier New", "Arial Black", "arial narrow"};
    }

    // The dialog's start-up, in its order; `stored` is the configuration of an existing installation.
    void Start(const SetupDialog* stored = nullptr) {
        InitNewRecord(record, strings);
        controls.SetChecked(IDC_PICK_FONT_EVERY_TIME, true);
        controls.SetChecked(IDC_USE_DEFAULT_PRINTER, true);
        FillDefaultsLists(controls, strings);
        installed = stored != nullptr;
        if (installed) {
            record = *stored;
            record.currentTab = kTabRequirements;
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
        for (int frame : {IDC_INSTALL, IDC_CANCEL_BUTTON, IDC_UNINSTALL, IDC_TAB_STRIP, IDC_BANNER_STRIP,
                          IDC_PAGE_SPINNER, IDC_PROGRAM_ICON})
            ids.erase(frame);
        return ids;
    }

    const ControlGroupTable& table = kControlGroupTable;
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
    EXPECT_EQ(controls.Items(IDC_FILE_SORT_KEY), (Items{"Creation Date", "Modification Date", "Name", "Size"}));
    EXPECT_EQ(controls.Items(IDC_FOLDER_SORT_KEY), (Items{"contained file count", "contained folder count",
                                                          "Creation Date", "Modification Date", "Name", "Size"}));
    EXPECT_EQ(controls.Items(IDC_FILE_DISPLAY_COLUMN),
              (Items{"Creation Date", "Modification Date", "Size", "Sort Parameter"}));
    EXPECT_EQ(controls.Items(IDC_FOLDER_DISPLAY_COLUMN),
              (Items{"contained file count", "contained folder count", "Creation Date", "Modification Date", "Size",
                     "Sort Parameter"}));
    for (int unitList : {IDC_FILE_SIZE_UNIT, IDC_FOLDER_SIZE_UNIT})
        EXPECT_EQ(controls.Items(unitList), (Items{"(Auto)", "bytes", "K", "Megabytes"}));

    // Each entry carries the code it stands for, wherever the sorting put it; the code tables of the
    // record name the entry of each code.
    using Codes = std::vector<int>;
    for (int folderList : {IDC_FOLDER_SORT_KEY, IDC_FOLDER_DISPLAY_COLUMN})
        EXPECT_EQ(controls.Codes(folderList), (Codes{6, 5, 1, 2, 3, 4})) << folderList;
    for (int fileList : {IDC_FILE_SORT_KEY, IDC_FILE_DISPLAY_COLUMN})
        EXPECT_EQ(controls.Codes(fileList), (Codes{1, 2, 3, 4})) << fileList;
    for (int unitList : {IDC_FILE_SIZE_UNIT, IDC_FOLDER_SIZE_UNIT})
        EXPECT_EQ(controls.Codes(unitList), (Codes{0, 1, 2, 3})) << unitList;
    for (int position = 0; position < 6; ++position) {
        EXPECT_EQ(controls.Items(IDC_FOLDER_SORT_KEY)[position],
                  strings.Text(kSortKeyStrings[controls.Codes(IDC_FOLDER_SORT_KEY)[position]]));
        EXPECT_EQ(controls.Items(IDC_FOLDER_DISPLAY_COLUMN)[position],
                  strings.Text(kDisplayColumnStrings[controls.Codes(IDC_FOLDER_DISPLAY_COLUMN)[position]]));
    }
    for (int position = 0; position < 4; ++position) {
        EXPECT_EQ(controls.Items(IDC_FILE_SORT_KEY)[position],
                  strings.Text(kSortKeyStrings[controls.Codes(IDC_FILE_SORT_KEY)[position]]));
        EXPECT_EQ(controls.Items(IDC_FILE_DISPLAY_COLUMN)[position],
                  strings.Text(kDisplayColumnStrings[controls.Codes(IDC_FILE_DISPLAY_COLUMN)[position]]));
        EXPECT_EQ(controls.Items(IDC_FILE_SIZE_UNIT)[position],
                  strings.Text(kSizeUnitStrings[controls.Codes(IDC_FILE_SIZE_UNIT)[position]]));
    }
}

TEST_F(DefaultsPage, NewInstallationOffersTheFirstEntriesAndStoresThem) {
    Start();
    EXPECT_EQ(controls.SelectedText(IDC_FILE_SORT_KEY), "Creation Date");
    EXPECT_EQ(controls.SelectedText(IDC_FOLDER_SORT_KEY), "contained file count");
    EXPECT_FALSE(controls.Checked(IDC_SORT_FILES));
    EXPECT_FALSE(controls.Checked(IDC_SORT_FOLDERS));
    EXPECT_EQ(controls.Text(IDC_FILE_SORT_ORDER), "Ascending");
    EXPECT_EQ(controls.Text(IDC_FOLDER_SORT_ORDER), "Ascending");
    EXPECT_TRUE(controls.Checked(IDC_FILE_DISPLAY_NORMAL));
    EXPECT_TRUE(controls.Checked(IDC_FOLDER_DISPLAY_NORMAL));
    for (int unit : {IDC_FILE_SIZE_UNIT, IDC_FOLDER_SIZE_UNIT}) EXPECT_EQ(controls.SelectedText(unit), "(Auto)");
    for (int disabled :
         {IDC_FILE_SIZE_UNIT_LABEL, IDC_FILE_SIZE_UNIT, IDC_FOLDER_SIZE_UNIT_LABEL, IDC_FOLDER_SIZE_UNIT})
        EXPECT_FALSE(controls.Enabled(disabled)) << disabled;
    EXPECT_EQ(controls.Text(IDC_PRINT_BACKDROP), "Do not");
    EXPECT_TRUE(controls.Checked(IDC_PICK_FONT_EVERY_TIME));
    EXPECT_TRUE(controls.Checked(IDC_USE_DEFAULT_PRINTER));
    EXPECT_EQ(controls.SelectedText(IDC_FONT_LIST), "Arial");
    EXPECT_EQ(controls.Text(IDC_FONT_SIZE), "12");
    EXPECT_EQ(controls.SelectedText(IDC_PRINTER_LIST), "brother HL-2030");
    EXPECT_TRUE(controls.Checked(IDC_CATEGORY_PRINTER_FONT));

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
        EXPECT_EQ(controls.Checked(IDC_FILE_DISPLAY_NORMAL), c.fileColumn == 0);
        EXPECT_EQ(controls.Checked(IDC_FOLDER_DISPLAY_NORMAL), c.folderColumn == 0);
        EXPECT_EQ(controls.SelectedText(IDC_FILE_DISPLAY_COLUMN), c.fileShown);
        EXPECT_EQ(controls.SelectedText(IDC_FILE_SIZE_UNIT), c.fileUnitShown);
        EXPECT_EQ(controls.SelectedText(IDC_FOLDER_DISPLAY_COLUMN), c.folderShown);
        EXPECT_EQ(controls.SelectedText(IDC_FOLDER_SIZE_UNIT), c.folderUnitShown);
        // The unit controls follow the display column alone, whatever the print-time flag.
        for (int id : {IDC_FILE_SIZE_UNIT_LABEL, IDC_FILE_SIZE_UNIT})
            EXPECT_EQ(controls.Enabled(id), c.fileColumn == 3) << id;
        for (int id : {IDC_FOLDER_SIZE_UNIT_LABEL, IDC_FOLDER_SIZE_UNIT})
            EXPECT_EQ(controls.Enabled(id), c.folderColumn == 3) << id;
        for (int id : {IDC_FILE_DISPLAY_NORMAL, IDC_FILE_DISPLAY_ENHANCED, IDC_FILE_DISPLAY_COLUMN})
            EXPECT_EQ(controls.Enabled(id), !c.fileAtPrintTime) << id;
        for (int id : {IDC_FOLDER_DISPLAY_NORMAL, IDC_FOLDER_DISPLAY_ENHANCED, IDC_FOLDER_DISPLAY_COLUMN})
            EXPECT_EQ(controls.Enabled(id), !c.folderAtPrintTime) << id;
        EXPECT_EQ(controls.Checked(IDC_FILE_DISPLAY_AT_PRINT_TIME), c.fileAtPrintTime != 0);
        EXPECT_EQ(controls.Checked(IDC_FOLDER_DISPLAY_AT_PRINT_TIME), c.folderAtPrintTime != 0);

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
        EXPECT_EQ(controls.Checked(IDC_SORT_FILES), c.sortFiles != 0);
        EXPECT_EQ(controls.Checked(IDC_SORT_FOLDERS), c.sortFolders != 0);
        EXPECT_EQ(controls.Checked(IDC_SORT_AT_PRINT_TIME), c.atPrintTime != 0);
        EXPECT_EQ(controls.SelectedText(IDC_FILE_SORT_KEY), c.fileKeyShown);
        EXPECT_EQ(controls.SelectedText(IDC_FOLDER_SORT_KEY), c.folderKeyShown);
        EXPECT_EQ(controls.Text(IDC_FILE_SORT_ORDER), c.fileOrder);
        EXPECT_EQ(controls.Text(IDC_FOLDER_SORT_ORDER), c.folderOrder);
        for (int id : {IDC_SORT_FILES, IDC_SORT_FOLDERS, IDC_FILE_SORT_KEY, IDC_FOLDER_SORT_KEY, IDC_FILE_SORT_ORDER,
                       IDC_FOLDER_SORT_ORDER})
            EXPECT_EQ(controls.Enabled(id), !c.atPrintTime) << id;

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
        EXPECT_EQ(controls.Text(IDC_PRINT_BACKDROP), c.text);
        EXPECT_EQ(controls.Checked(IDC_BACKDROP_AT_PRINT_TIME), c.atPrintTime != 0);
        for (int id : {IDC_PRINT_BACKDROP, IDC_PRINT_BACKDROP_LABEL})
            EXPECT_EQ(controls.Enabled(id), !c.atPrintTime) << id;
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
    {"exact names", "Canon iP100", "Courier New", 10, 1, 0, 1, "Canon iP100", "Courier New", "10",
     IDC_USE_DEFAULT_PRINTER, IDC_PICK_FONT_EVERY_TIME, "Canon iP100", "Courier New"},
    {"letter case differs", "CANON", "times", 14, 0, 1, 0, "Canon iP100", "Times New Roman", "14",
     IDC_PICK_PRINTER_EVERY_TIME, IDC_USE_THIS_FONT, "Canon iP100", "Times New Roman"},
    {"the face comes before longer faces", "HP", "Arial", 8, 0, 0, 0, "HP LaserJet 4", "Arial", "8",
     IDC_USE_THIS_PRINTER, IDC_USE_THIS_FONT, "HP LaserJet 4", "Arial"},
    {"beginning of a longer face", "brother", "ARIAL N", -3, 0, 0, 1, "brother HL-2030", "arial narrow", "-3",
     IDC_USE_THIS_PRINTER, IDC_PICK_FONT_EVERY_TIME, "brother HL-2030", "arial narrow"},
    {"printer and font gone", "Gone Printer", "Gone Font", 12, 0, 0, 0, "", "", "12", IDC_USE_THIS_PRINTER,
     IDC_USE_THIS_FONT, "Gone Printer", "Gone Font"},
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
        EXPECT_EQ(controls.SelectedText(IDC_PRINTER_LIST), c.printerShown);
        EXPECT_EQ(controls.SelectedText(IDC_FONT_LIST), c.fontShown);
        EXPECT_EQ(controls.Text(IDC_FONT_SIZE), c.sizeShown);
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
    controls.Click(IDC_USE_THIS_PRINTER);
    controls.Click(IDC_USE_THIS_FONT);
    SetupDialog saved = Gathered();
    EXPECT_EQ(saved.useDefaultPrinter, 0);
    EXPECT_EQ(saved.pickPrinterEveryTime, 0);
    EXPECT_EQ(saved.pickFontEveryTime, 0);
    controls.Click(IDC_PICK_PRINTER_EVERY_TIME);
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
        controls.SetText(IDC_FONT_SIZE, c.text);
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
        controls.SetText(IDC_FONT_SIZE, c.text);
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
        controls.SetText(IDC_FONT_SIZE, c.text);
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
    for (int list : {IDC_FILE_SORT_KEY, IDC_FOLDER_SORT_KEY, IDC_FILE_DISPLAY_COLUMN, IDC_FOLDER_DISPLAY_COLUMN,
                     IDC_FILE_SIZE_UNIT, IDC_FOLDER_SIZE_UNIT, IDC_FONT_LIST, IDC_PRINTER_LIST})
        controls.Select(list, -1);
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
    EXPECT_TRUE(controls.Items(IDC_FONT_LIST).empty());
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
    EXPECT_EQ(controls.SelectedText(IDC_PRINTER_LIST), std::string(254, 'Q') + " longer");
    EXPECT_EQ(controls.Text(IDC_INSTALLATION_DIRECTORY), std::string(259, 'D'));
}

TEST_F(DefaultsPage, SortOrderButtonsFlipBetweenAscendingAndDescending) {
    struct Case {
        int button;
        int32_t SetupDialog::*field;
    };
    for (const Case& c : {Case{IDC_FILE_SORT_ORDER, &SetupDialog::fileSortDescending},
                          Case{IDC_FOLDER_SORT_ORDER, &SetupDialog::folderSortDescending}}) {
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
    Click(IDC_PRINT_BACKDROP);
    EXPECT_EQ(record.printBackdrop, 1);
    EXPECT_EQ(controls.Text(IDC_PRINT_BACKDROP), "Do");
    Click(IDC_PRINT_BACKDROP);
    EXPECT_EQ(record.printBackdrop, 0);
    EXPECT_EQ(controls.Text(IDC_PRINT_BACKDROP), "Do not");
}

TEST_F(DefaultsPage, PrintTimeCheckBoxesDisableTheirInputsAndStoreTheFlag) {
    struct Case {
        int checkBox;
        uint8_t SetupDialog::*flag;
        std::vector<int> inputs;
    };
    const Case cases[] = {
        {IDC_SORT_AT_PRINT_TIME,
         &SetupDialog::sortAtPrintTime,
         {IDC_SORT_FILES, IDC_SORT_FOLDERS, IDC_FILE_SORT_ORDER, IDC_FILE_SORT_KEY, IDC_FOLDER_SORT_KEY,
          IDC_FOLDER_SORT_ORDER}},
        {IDC_BACKDROP_AT_PRINT_TIME, &SetupDialog::backdropAtPrintTime, {IDC_PRINT_BACKDROP, IDC_PRINT_BACKDROP_LABEL}},
        {IDC_FILE_DISPLAY_AT_PRINT_TIME,
         &SetupDialog::fileDisplayAtPrintTime,
         {IDC_FILE_DISPLAY_NORMAL, IDC_FILE_DISPLAY_ENHANCED, IDC_FILE_DISPLAY_COLUMN, IDC_FILE_SIZE_UNIT_LABEL,
          IDC_FILE_SIZE_UNIT}},
        {IDC_FOLDER_DISPLAY_AT_PRINT_TIME,
         &SetupDialog::folderDisplayAtPrintTime,
         {IDC_FOLDER_DISPLAY_NORMAL, IDC_FOLDER_DISPLAY_ENHANCED, IDC_FOLDER_DISPLAY_COLUMN, IDC_FOLDER_SIZE_UNIT_LABEL,
          IDC_FOLDER_SIZE_UNIT}},
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
    const Case cases[] = {
        {IDC_FILE_DISPLAY_AT_PRINT_TIME, IDC_FILE_DISPLAY_COLUMN, IDC_FILE_SIZE_UNIT_LABEL, IDC_FILE_SIZE_UNIT, "Size"},
        {IDC_FILE_DISPLAY_AT_PRINT_TIME, IDC_FILE_DISPLAY_COLUMN, IDC_FILE_SIZE_UNIT_LABEL, IDC_FILE_SIZE_UNIT,
         "Modification Date"},
        {IDC_FOLDER_DISPLAY_AT_PRINT_TIME, IDC_FOLDER_DISPLAY_COLUMN, IDC_FOLDER_SIZE_UNIT_LABEL, IDC_FOLDER_SIZE_UNIT,
         "Size"},
        {IDC_FOLDER_DISPLAY_AT_PRINT_TIME, IDC_FOLDER_DISPLAY_COLUMN, IDC_FOLDER_SIZE_UNIT_LABEL, IDC_FOLDER_SIZE_UNIT,
         "contained folder count"}};
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
    for (int list : {IDC_FILE_DISPLAY_COLUMN, IDC_FOLDER_DISPLAY_COLUMN}) {
        const int label = list == IDC_FILE_DISPLAY_COLUMN ? IDC_FILE_SIZE_UNIT_LABEL : IDC_FOLDER_SIZE_UNIT_LABEL;
        const int unit = list == IDC_FILE_DISPLAY_COLUMN ? IDC_FILE_SIZE_UNIT : IDC_FOLDER_SIZE_UNIT;
        for (const std::string& entry : controls.Items(list)) {
            Choose(list, entry);
            EXPECT_EQ(controls.Enabled(label), entry == "Size") << entry;
            EXPECT_EQ(controls.Enabled(unit), entry == "Size") << entry;
        }
    }
    // Choosing "Megabytes" for folders is stored as its code.
    Choose(IDC_FOLDER_DISPLAY_COLUMN, "Size");
    controls.Choose(IDC_FOLDER_SIZE_UNIT, "Megabytes");
    controls.Click(IDC_FOLDER_DISPLAY_ENHANCED);
    const SetupDialog saved = Gathered();
    EXPECT_EQ(saved.folderDisplayColumn, 3);
    EXPECT_EQ(saved.folderSizeUnit, 3);
}

TEST_F(DefaultsPage, OnlyItsOwnCommandsAreHandled) {
    Start();
    controls.Choose(IDC_FILE_DISPLAY_COLUMN, "Size");
    // Other notifications of the display lists change nothing.
    EXPECT_FALSE(HandleDefaultsCommand(controls, strings, table, record, IDC_FILE_DISPLAY_COLUMN, kDropDown));
    EXPECT_FALSE(controls.Enabled(IDC_FILE_SIZE_UNIT));
    EXPECT_FALSE(HandleDefaultsCommand(controls, strings, table, record, IDC_FOLDER_DISPLAY_COLUMN, kDropDown));
    for (int id : {IDC_INSTALL, IDC_CANCEL_BUTTON, IDC_UNINSTALL, IDC_USE_DEFAULT_PRINTER, IDC_USE_THIS_PRINTER,
                   IDC_PICK_PRINTER_EVERY_TIME, IDC_PICK_FONT_EVERY_TIME, IDC_USE_THIS_FONT, IDC_FONT_LIST,
                   IDC_PRINTER_LIST, IDC_FONT_SIZE, IDC_SORT_FOLDERS, IDC_SORT_FILES, IDC_FOLDER_SORT_KEY,
                   IDC_FILE_SORT_KEY, IDC_FILE_SIZE_UNIT, IDC_FOLDER_SIZE_UNIT, IDC_CHANGE_DIRECTORY}) {
        EXPECT_FALSE(HandleDefaultsCommand(controls, strings, table, record, id, kButtonClicked)) << id;
    }
}

TEST_F(DefaultsPage, CategoryButtonsShowTheirCategoryAndStoreIt) {
    const int buttons[] = {IDC_CATEGORY_PRINTER_FONT, IDC_CATEGORY_SORTING, IDC_CATEGORY_FILE_DISPLAY,
                           IDC_CATEGORY_BACKDROP, IDC_CATEGORY_FOLDER_DISPLAY};
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
