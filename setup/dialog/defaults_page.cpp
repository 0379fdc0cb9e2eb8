#include "dialog/defaults_page.h"

#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "dialog/page_groups.h"
#include "resources/resource_ids.h"
#include "text/message_box.h"
#include "text/text_format.h"

namespace {

constexpr int kStringCapacity = 255;  // 254 characters and the terminator

constexpr std::array<int, kDefaultsCategoryCount> kCategoryButtons = {IDC_CATEGORY_PRINTER_FONT, IDC_CATEGORY_SORTING,
                                                                      IDC_CATEGORY_FILE_DISPLAY, IDC_CATEGORY_BACKDROP,
                                                                      IDC_CATEGORY_FOLDER_DISPLAY};

constexpr std::initializer_list<int> kSortInputs = {IDC_SORT_FILES,    IDC_SORT_FOLDERS,    IDC_FILE_SORT_ORDER,
                                                    IDC_FILE_SORT_KEY, IDC_FOLDER_SORT_KEY, IDC_FOLDER_SORT_ORDER};

// Each list shows the codes first to end - 1 of a code table, every entry carrying its code; the
// lists sort their entries, so the codes, not the positions, say what an entry stands for.
struct CodedList {
    int list;
    const int* strings;
    int first;
    int end;
};

constexpr CodedList kCodedLists[] = {
    {IDC_FILE_SORT_KEY, kSortKeyStrings.data(), 1, kFileSortKeyCount},
    {IDC_FOLDER_SORT_KEY, kSortKeyStrings.data(), 1, static_cast<int>(kSortKeyStrings.size())},
    {IDC_FILE_DISPLAY_COLUMN, kDisplayColumnStrings.data(), 1, kFileDisplayColumnCount},
    {IDC_FOLDER_DISPLAY_COLUMN, kDisplayColumnStrings.data(), 1, static_cast<int>(kDisplayColumnStrings.size())},
    {IDC_FILE_SIZE_UNIT, kSizeUnitStrings.data(), 0, static_cast<int>(kSizeUnitStrings.size())},
    {IDC_FOLDER_SIZE_UNIT, kSizeUnitStrings.data(), 0, static_cast<int>(kSizeUnitStrings.size())},
};

// The file and the folder display categories work alike on their own controls and fields.
struct DisplayCategory {
    int normal;
    int enhanced;
    int column;
    int unitLabel;
    int unit;
    int atPrintTime;
    uint8_t SetupDialog::*atPrintTimeFlag;
    int32_t SetupDialog::*columnCode;
    int32_t SetupDialog::*unitCode;
};

constexpr DisplayCategory kFileDisplay = {.normal = IDC_FILE_DISPLAY_NORMAL,
                                          .enhanced = IDC_FILE_DISPLAY_ENHANCED,
                                          .column = IDC_FILE_DISPLAY_COLUMN,
                                          .unitLabel = IDC_FILE_SIZE_UNIT_LABEL,
                                          .unit = IDC_FILE_SIZE_UNIT,
                                          .atPrintTime = IDC_FILE_DISPLAY_AT_PRINT_TIME,
                                          .atPrintTimeFlag = &SetupDialog::fileDisplayAtPrintTime,
                                          .columnCode = &SetupDialog::fileDisplayColumn,
                                          .unitCode = &SetupDialog::fileSizeUnit};

constexpr DisplayCategory kFolderDisplay = {.normal = IDC_FOLDER_DISPLAY_NORMAL,
                                            .enhanced = IDC_FOLDER_DISPLAY_ENHANCED,
                                            .column = IDC_FOLDER_DISPLAY_COLUMN,
                                            .unitLabel = IDC_FOLDER_SIZE_UNIT_LABEL,
                                            .unit = IDC_FOLDER_SIZE_UNIT,
                                            .atPrintTime = IDC_FOLDER_DISPLAY_AT_PRINT_TIME,
                                            .atPrintTimeFlag = &SetupDialog::folderDisplayAtPrintTime,
                                            .columnCode = &SetupDialog::folderDisplayColumn,
                                            .unitCode = &SetupDialog::folderSizeUnit};

struct SortOrder {
    int button;
    int32_t SetupDialog::*descending;
};

constexpr SortOrder kFileSortOrder = {IDC_FILE_SORT_ORDER, &SetupDialog::fileSortDescending};
constexpr SortOrder kFolderSortOrder = {IDC_FOLDER_SORT_ORDER, &SetupDialog::folderSortDescending};

void EnableAll(Controls& controls, std::initializer_list<int> ids, bool enabled) {
    for (int id : ids) controls.Enable(id, enabled);
}

void SetTextFromString(Controls& controls, Strings& strings, int id, int stringId) {
    char text[kStringCapacity] = {};
    strings.Load(stringId, text, kStringCapacity);
    controls.SetText(id, text);
}

// Selects the entry that carries `code`; a code no entry carries (a damaged stored value, or 0 in a
// list without entry 0) selects the first entry.
void SelectCode(Controls& controls, int list, int code) {
    int position = 0;
    for (int found; (found = controls.ItemCode(list, position)) >= 0; ++position) {
        if (found == code) {
            controls.Select(list, position);
            return;
        }
    }
    controls.Select(list, 0);
}

// The code of the selected entry; 0 without a selection.
int SelectedCode(Controls& controls, int list) {
    const int position = controls.Selection(list);
    const int code = position < 0 ? -1 : controls.ItemCode(list, position);
    return code < 0 ? 0 : code;
}

void CheckCategoryButton(Controls& controls, const SetupDialog& record) {
    const int category = DisplayedCategory(record);
    for (int column = 0; column < kDefaultsCategoryCount; ++column) {
        controls.SetChecked(kCategoryButtons[column], column == category);
    }
}

// ---------------------------------------------------------------- setting from the record
void SetSortOrderText(Controls& controls, Strings& strings, const SortOrder& order, const SetupDialog& record) {
    SetTextFromString(controls, strings, order.button, record.*order.descending ? IDS_DESCENDING : IDS_ASCENDING);
}

void SetBackdropText(Controls& controls, Strings& strings, const SetupDialog& record) {
    SetTextFromString(controls, strings, IDC_PRINT_BACKDROP, record.printBackdrop ? IDS_DO : IDS_DO_NOT);
}

void SetBackdropControls(Controls& controls, Strings& strings, const SetupDialog& record) {
    SetBackdropText(controls, strings, record);
    controls.SetChecked(IDC_BACKDROP_AT_PRINT_TIME, record.backdropAtPrintTime);
    EnableAll(controls, {IDC_PRINT_BACKDROP, IDC_PRINT_BACKDROP_LABEL}, !record.backdropAtPrintTime);
}

void SetSortingControls(Controls& controls, Strings& strings, const SetupDialog& record) {
    controls.SetChecked(IDC_SORT_FOLDERS, record.sortFolders);
    controls.SetChecked(IDC_SORT_FILES, record.sortFiles);
    controls.SetChecked(IDC_SORT_AT_PRINT_TIME, record.sortAtPrintTime);
    EnableAll(controls, kSortInputs, !record.sortAtPrintTime);
    SetSortOrderText(controls, strings, kFileSortOrder, record);
    SetSortOrderText(controls, strings, kFolderSortOrder, record);
    SelectCode(controls, IDC_FILE_SORT_KEY, record.fileSortKey);
    SelectCode(controls, IDC_FOLDER_SORT_KEY, record.folderSortKey);
}

// At start-up the unit controls follow the display column alone, whatever the print-time flag.
void SetDisplayControls(Controls& controls, const DisplayCategory& display, const SetupDialog& record) {
    const int column = record.*display.columnCode;
    const bool atPrintTime = record.*display.atPrintTimeFlag;
    controls.SetChecked(display.normal, column == 0);
    controls.SetChecked(display.enhanced, column != 0);
    SelectCode(controls, display.column, column);
    EnableAll(controls, {display.column, display.normal, display.enhanced}, !atPrintTime);
    controls.SetChecked(display.atPrintTime, atPrintTime);
    const bool showsSize = column == kDisplayColumnSize;
    EnableAll(controls, {display.unitLabel, display.unit}, showsSize);
    SelectCode(controls, display.unit, showsSize ? record.*display.unitCode : 0);
}

void SelectStoredName(Controls& controls, int list, const char (&name)[kRecordTextSize], bool installed) {
    if (!installed) {
        controls.Select(list, 0);
        return;
    }
    const std::string_view stored = RecordText(name);
    char prefix[kRecordTextSize] = {};
    std::memcpy(prefix, stored.data(), stored.size());
    // Every entry begins with the empty text: the first one is selected without asking the list.
    controls.Select(list, prefix[0] == '\0' ? 0 : controls.FindPrefix(list, prefix));
}

// ---------------------------------------------------------------- gathering
bool DisplayListShowsSize(Controls& controls, const DisplayCategory& display) {
    return SelectedCode(controls, display.column) == kDisplayColumnSize;
}

// The selected entry's text, cut to the field's 254 characters; without a selection the field
// keeps its value, so a stored printer or font that is gone is not lost.
void GatherSelectedName(Controls& controls, int list, char (&field)[kRecordTextSize]) {
    const int position = controls.Selection(list);
    if (position < 0) return;
    char text[kRecordTextSize] = {};
    if (controls.ItemText(list, position, text, kRecordTextSize) < 0) return;
    std::memcpy(field, text, kRecordTextSize);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The leading decimal number after blanks and an optional sign; 0 without digits. Numbers beyond
// the 32-bit range stop at its ends.
int32_t LeadingNumber(const char* text) {
    while (IsBlank(*text)) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > limit) value = limit;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

int32_t GatherFontSize(Controls& controls) {
    char text[kStringCapacity] = {};
    controls.GetText(IDC_FONT_SIZE, text, kStringCapacity);
    return LeadingNumber(text);
}

bool FontSizeInRange(int32_t size) { return size >= kSmallestFontSize && size <= kLargestFontSize; }

void GatherDisplay(Controls& controls, const DisplayCategory& display, SetupDialog& record) {
    record.*display.columnCode = controls.IsChecked(display.normal) ? 0 : SelectedCode(controls, display.column);
    record.*display.unitCode = SelectedCode(controls, display.unit);
}

// ---------------------------------------------------------------- toggles
uint8_t Flipped(uint8_t flag) { return flag ? 0 : 1; }

void ToggleSortOrder(Controls& controls, Strings& strings, const SortOrder& order, SetupDialog& record) {
    record.*order.descending = record.*order.descending ? 0 : 1;
    SetSortOrderText(controls, strings, order, record);
}

// Choosing at print time disables the category's inputs, and with them the unit label and list:
// the unit then belongs to the choice made when printing. Switching it off again enables the unit
// controls exactly when the display list shows "Size", as a change of that list does.
void ToggleDisplayAtPrintTime(Controls& controls, const DisplayCategory& display, SetupDialog& record) {
    record.*display.atPrintTimeFlag = Flipped(record.*display.atPrintTimeFlag);
    const bool atPrintTime = record.*display.atPrintTimeFlag;
    EnableAll(controls, {display.normal, display.enhanced, display.column}, !atPrintTime);
    const bool unitsEnabled = !atPrintTime && DisplayListShowsSize(controls, display);
    EnableAll(controls, {display.unitLabel, display.unit}, unitsEnabled);
}

void DisplayColumnChanged(Controls& controls, const DisplayCategory& display) {
    EnableAll(controls, {display.unitLabel, display.unit}, DisplayListShowsSize(controls, display));
}

}  // namespace

void FillDefaultsLists(Controls& controls, Strings& strings) {
    for (const CodedList& coded : kCodedLists) {
        for (int code = coded.first; code < coded.end; ++code) {
            char text[kStringCapacity] = {};
            strings.Load(coded.strings[code], text, kStringCapacity);
            const int position = controls.AddString(coded.list, text);
            if (position >= 0) controls.SetItemCode(coded.list, position, code);
        }
    }
}

void SetDefaultsFromRecord(Controls& controls, Strings& strings, const SetupDialog& record) {
    SetBackdropControls(controls, strings, record);
    SetSortingControls(controls, strings, record);
    SetDisplayControls(controls, kFileDisplay, record);
    SetDisplayControls(controls, kFolderDisplay, record);
    CheckCategoryButton(controls, record);
}

void SetPrinterFontAndSize(Controls& controls, FontFaces& fonts, const SetupDialog& record, bool installed) {
    SelectStoredName(controls, IDC_PRINTER_LIST, record.printerName, installed);
    fonts.AddTrueTypeFaces(IDC_FONT_LIST);
    SelectStoredName(controls, IDC_FONT_LIST, record.fontName, installed);
    char size[16] = "12";
    if (installed) FormatText(size, sizeof size, "%d", static_cast<int>(record.fontSize));
    controls.SetText(IDC_FONT_SIZE, size);
}

void SetPrinterFontChoices(Controls& controls, const SetupDialog& record) {
    controls.SetChecked(IDC_PICK_FONT_EVERY_TIME, record.pickFontEveryTime);
    controls.SetChecked(IDC_USE_THIS_FONT, !record.pickFontEveryTime);
    controls.SetChecked(IDC_USE_DEFAULT_PRINTER, record.useDefaultPrinter);
    controls.SetChecked(IDC_PICK_PRINTER_EVERY_TIME, record.pickPrinterEveryTime);
    controls.SetChecked(IDC_USE_THIS_PRINTER, !record.useDefaultPrinter && !record.pickPrinterEveryTime);
    CheckCategoryButton(controls, record);
}

void GatherSettings(Controls& controls, SetupDialog& record) {
    record.sortFiles = controls.IsChecked(IDC_SORT_FILES);
    record.fileSortKey = SelectedCode(controls, IDC_FILE_SORT_KEY);
    record.sortFolders = controls.IsChecked(IDC_SORT_FOLDERS);
    record.folderSortKey = SelectedCode(controls, IDC_FOLDER_SORT_KEY);
    GatherDisplay(controls, kFolderDisplay, record);
    GatherDisplay(controls, kFileDisplay, record);
    GatherSelectedName(controls, IDC_FONT_LIST, record.fontName);
    record.fontSize = GatherFontSize(controls);
    GatherSelectedName(controls, IDC_PRINTER_LIST, record.printerName);
    record.pickFontEveryTime = controls.IsChecked(IDC_PICK_FONT_EVERY_TIME);
    record.useDefaultPrinter = controls.IsChecked(IDC_USE_DEFAULT_PRINTER);
    record.pickPrinterEveryTime = controls.IsChecked(IDC_PICK_PRINTER_EVERY_TIME);
}

bool FontSizeAccepted(Controls& controls) { return FontSizeInRange(GatherFontSize(controls)); }

void ReportFontSizeProblem(Controls& controls, Messages& messages) {
    char size[kStringCapacity] = {};
    controls.GetText(IDC_FONT_SIZE, size, kStringCapacity);
    if (size[0] == '\0') {
        ShowMessage(messages, kFontSizeProblemCaption, kWarningBox,
                    "Please enter a font size: a whole number of points from %d to %d, such as 12.",
                    static_cast<int>(kSmallestFontSize), static_cast<int>(kLargestFontSize));
    } else {
        ShowMessage(messages, kFontSizeProblemCaption, kWarningBox,
                    "The font size \"%s\" is not a whole number from %d to %d. Please enter the size in points, "
                    "such as 12.",
                    size, static_cast<int>(kSmallestFontSize), static_cast<int>(kLargestFontSize));
    }
}

void ChooseDefaultsCategory(Controls& controls, const ControlGroupTable& table, SetupDialog& record, int category) {
    record.defaultsCategory = category;
    CheckCategoryButton(controls, record);
    ShowDefaultsCategory(controls, table, category);
}

void ToggleFileSortOrder(Controls& controls, Strings& strings, SetupDialog& record) {
    ToggleSortOrder(controls, strings, kFileSortOrder, record);
}

void ToggleFolderSortOrder(Controls& controls, Strings& strings, SetupDialog& record) {
    ToggleSortOrder(controls, strings, kFolderSortOrder, record);
}

void ToggleSortAtPrintTime(Controls& controls, SetupDialog& record) {
    record.sortAtPrintTime = Flipped(record.sortAtPrintTime);
    EnableAll(controls, kSortInputs, !record.sortAtPrintTime);
}

void ToggleFileDisplayAtPrintTime(Controls& controls, SetupDialog& record) {
    ToggleDisplayAtPrintTime(controls, kFileDisplay, record);
}

void ToggleFolderDisplayAtPrintTime(Controls& controls, SetupDialog& record) {
    ToggleDisplayAtPrintTime(controls, kFolderDisplay, record);
}

void ToggleBackdropAtPrintTime(Controls& controls, SetupDialog& record) {
    record.backdropAtPrintTime = Flipped(record.backdropAtPrintTime);
    EnableAll(controls, {IDC_PRINT_BACKDROP, IDC_PRINT_BACKDROP_LABEL}, !record.backdropAtPrintTime);
}

void TogglePrintBackdrop(Controls& controls, Strings& strings, SetupDialog& record) {
    record.printBackdrop = Flipped(record.printBackdrop);
    SetBackdropText(controls, strings, record);
}

void FileDisplayColumnChanged(Controls& controls) { DisplayColumnChanged(controls, kFileDisplay); }

void FolderDisplayColumnChanged(Controls& controls) { DisplayColumnChanged(controls, kFolderDisplay); }

bool HandleDefaultsCommand(Controls& controls, Strings& strings, const ControlGroupTable& table, SetupDialog& record,
                           int controlId, int notification) {
    for (int category = 0; category < kDefaultsCategoryCount; ++category) {
        if (controlId == kCategoryButtons[category]) {
            ChooseDefaultsCategory(controls, table, record, category);
            return true;
        }
    }
    switch (controlId) {
        case IDC_FILE_SORT_ORDER:
            ToggleFileSortOrder(controls, strings, record);
            return true;
        case IDC_FOLDER_SORT_ORDER:
            ToggleFolderSortOrder(controls, strings, record);
            return true;
        case IDC_SORT_AT_PRINT_TIME:
            ToggleSortAtPrintTime(controls, record);
            return true;
        case IDC_FILE_DISPLAY_AT_PRINT_TIME:
            ToggleFileDisplayAtPrintTime(controls, record);
            return true;
        case IDC_FOLDER_DISPLAY_AT_PRINT_TIME:
            ToggleFolderDisplayAtPrintTime(controls, record);
            return true;
        case IDC_PRINT_BACKDROP:
            TogglePrintBackdrop(controls, strings, record);
            return true;
        case IDC_BACKDROP_AT_PRINT_TIME:
            ToggleBackdropAtPrintTime(controls, record);
            return true;
        case IDC_FILE_DISPLAY_COLUMN:
            if (notification != kSelectionChanged) return false;
            FileDisplayColumnChanged(controls);
            return true;
        case IDC_FOLDER_DISPLAY_COLUMN:
            if (notification != kSelectionChanged) return false;
            FolderDisplayColumnChanged(controls);
            return true;
        default:
            return false;
    }
}
