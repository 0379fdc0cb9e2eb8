#include "dialog/control_groups.h"

#include <initializer_list>

#include "resources/resource_ids.h"

bool ControlGroup::Append(int controlId) {
    if (count_ == kCapacity) return false;
    ids_[count_++] = controlId;
    return true;
}

namespace {

void AppendAll(ControlGroup& group, std::initializer_list<int> ids) {
    for (int id : ids) group.Append(id);
}

#define KOVA_CATEGORY_BUTTONS                                                                 \
    IDC_CATEGORY_PRINTER_FONT, IDC_CATEGORY_SORTING, IDC_CATEGORY_FILE_DISPLAY, IDC_CATEGORY_BACKDROP, \
        IDC_CATEGORY_FOLDER_DISPLAY

ControlGroupTable MakeControlGroupTable() {
    ControlGroupTable table;
    auto& defaults = table[kTabDefaults];
    AppendAll(defaults[0], {IDC_FONT_LIST, IDC_PICK_FONT_EVERY_TIME, IDC_PICK_PRINTER_EVERY_TIME, IDC_PRINTER_LIST,
                            IDC_USE_DEFAULT_PRINTER, IDC_USE_THIS_FONT, IDC_USE_THIS_PRINTER, IDC_FONT_SIZE_LABEL,
                            IDC_FONT_SIZE, KOVA_CATEGORY_BUTTONS});
    AppendAll(defaults[1], {KOVA_CATEGORY_BUTTONS, IDC_SORT_FILES, IDC_SORT_FOLDERS, IDC_FOLDER_SORT_ORDER,
                            IDC_FILE_SORT_ORDER, IDC_FILE_SORT_KEY, IDC_FOLDER_SORT_KEY, IDC_FILE_IN_LABEL,
                            IDC_FOLDER_IN_LABEL, IDC_FILE_ORDER_LABEL, IDC_FOLDER_ORDER_LABEL,
                            IDC_SORT_AT_PRINT_TIME});
    AppendAll(defaults[2], {KOVA_CATEGORY_BUTTONS, IDC_FILE_DISPLAY_NORMAL, IDC_FILE_DISPLAY_ENHANCED,
                            IDC_FILE_SIZE_UNIT_LABEL, IDC_FILE_SIZE_UNIT, IDC_FILE_DISPLAY_COLUMN,
                            IDC_FILE_DISPLAY_AT_PRINT_TIME});
    AppendAll(defaults[3], {KOVA_CATEGORY_BUTTONS, IDC_PRINT_BACKDROP, IDC_PRINT_BACKDROP_LABEL,
                            IDC_BACKDROP_AT_PRINT_TIME});
    AppendAll(defaults[4], {KOVA_CATEGORY_BUTTONS, IDC_FOLDER_DISPLAY_NORMAL, IDC_FOLDER_DISPLAY_ENHANCED,
                            IDC_FOLDER_DISPLAY_COLUMN, IDC_FOLDER_SIZE_UNIT_LABEL, IDC_FOLDER_SIZE_UNIT,
                            IDC_FOLDER_DISPLAY_AT_PRINT_TIME});
    AppendAll(table[kTabInstallation][0], {IDC_CHANGE_DIRECTORY, IDC_INSTALLATION_DIRECTORY});
    return table;
}

}  // namespace

// Made by code when the program starts, before WinMain: laid out as data, the table would cost the
// image more bytes than the code that makes it.
const ControlGroupTable kControlGroupTable = MakeControlGroupTable();
