#include "dialog/control_groups.h"

#include <gtest/gtest.h>

#include <vector>

#include "resources/resource_ids.h"

namespace {

std::vector<int> Ids(const ControlGroup& group) {
    std::vector<int> ids;
    for (size_t i = 0; i < group.size(); ++i) ids.push_back(group[i]);
    return ids;
}

TEST(ControlGroupTable, RowsHoldTheControlsOfEachPageInOrder) {
    const ControlGroupTable& table = kControlGroupTable;
    const std::vector<int> buttons{IDC_CATEGORY_PRINTER_FONT, IDC_CATEGORY_SORTING, IDC_CATEGORY_FILE_DISPLAY,
                                   IDC_CATEGORY_BACKDROP, IDC_CATEGORY_FOLDER_DISPLAY};
    auto withButtons = [&](std::vector<int> ids, bool first) {
        ids.insert(first ? ids.begin() : ids.end(), buttons.begin(), buttons.end());
        return ids;
    };
    EXPECT_EQ(Ids(table[kTabDefaults][0]),
              withButtons({IDC_FONT_LIST, IDC_PICK_FONT_EVERY_TIME, IDC_PICK_PRINTER_EVERY_TIME, IDC_PRINTER_LIST,
                           IDC_USE_DEFAULT_PRINTER, IDC_USE_THIS_FONT, IDC_USE_THIS_PRINTER, IDC_FONT_SIZE_LABEL,
                           IDC_FONT_SIZE},
                          false));
    EXPECT_EQ(Ids(table[kTabDefaults][1]),
              withButtons({IDC_SORT_FILES, IDC_SORT_FOLDERS, IDC_FOLDER_SORT_ORDER, IDC_FILE_SORT_ORDER,
                           IDC_FILE_SORT_KEY, IDC_FOLDER_SORT_KEY, IDC_FILE_IN_LABEL, IDC_FOLDER_IN_LABEL,
                           IDC_FILE_ORDER_LABEL, IDC_FOLDER_ORDER_LABEL, IDC_SORT_AT_PRINT_TIME},
                          true));
    EXPECT_EQ(Ids(table[kTabDefaults][2]),
              withButtons({IDC_FILE_DISPLAY_NORMAL, IDC_FILE_DISPLAY_ENHANCED, IDC_FILE_SIZE_UNIT_LABEL,
                           IDC_FILE_SIZE_UNIT, IDC_FILE_DISPLAY_COLUMN, IDC_FILE_DISPLAY_AT_PRINT_TIME},
                          true));
    EXPECT_EQ(Ids(table[kTabDefaults][3]),
              withButtons({IDC_PRINT_BACKDROP, IDC_PRINT_BACKDROP_LABEL, IDC_BACKDROP_AT_PRINT_TIME}, true));
    EXPECT_EQ(Ids(table[kTabDefaults][4]),
              withButtons({IDC_FOLDER_DISPLAY_NORMAL, IDC_FOLDER_DISPLAY_ENHANCED, IDC_FOLDER_DISPLAY_COLUMN,
                           IDC_FOLDER_SIZE_UNIT_LABEL, IDC_FOLDER_SIZE_UNIT, IDC_FOLDER_DISPLAY_AT_PRINT_TIME},
                          true));
    EXPECT_EQ(Ids(table[kTabInstallation][0]), (std::vector<int>{IDC_CHANGE_DIRECTORY, IDC_INSTALLATION_DIRECTORY}));
    // Welcome and Requirements show no page controls; Installation has one group only.
    for (int column = 0; column < kDefaultsCategoryCount; ++column) {
        EXPECT_EQ(table[kTabWelcome][column].size(), 0u);
        EXPECT_EQ(table[kTabRequirements][column].size(), 0u);
        if (column > 0) {
            EXPECT_EQ(table[kTabInstallation][column].size(), 0u);
        }
    }
}

}  // namespace
