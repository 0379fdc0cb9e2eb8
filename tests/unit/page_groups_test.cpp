#include "dialog/page_groups.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "configuration/setup_dialog_record.h"
#include "dialog/control_groups.h"
#include "fake_controls.h"
#include "resources/resource_ids.h"

namespace {

const std::set<int> kFrame = {IDC_INSTALL, IDC_CANCEL_BUTTON, IDC_TAB_STRIP, IDC_BANNER_STRIP, IDC_PROGRAM_ICON};

class PageGroups : public ::testing::Test {
protected:
    std::set<int> VisiblePageControls() const {
        std::set<int> ids;
        for (int id : controls.VisibleIds()) {
            if (!kFrame.count(id)) ids.insert(id);
        }
        return ids;
    }

    std::set<int> Group(int row, int column) const {
        std::set<int> ids;
        if (row < 0) return ids;
        for (size_t i = 0; i < table[row][column].size(); ++i) ids.insert(table[row][column][i]);
        return ids;
    }

    const ControlGroupTable& table = kControlGroupTable;
    FakeControls controls;
    SetupDialog record{};
};

struct Page {
    int tab, category;
    int row, column;  // the group on display; row -1: none
};

// Every page as the dialog can show it: the Defaults page once per category.
const Page kPages[] = {
    {kTabWelcome, 3, -1, 0},
    {kTabRequirements, 2, -1, 0},
    {kTabDefaults, 0, kTabDefaults, 0},
    {kTabDefaults, 1, kTabDefaults, 1},
    {kTabDefaults, 2, kTabDefaults, 2},
    {kTabDefaults, 3, kTabDefaults, 3},
    {kTabDefaults, 4, kTabDefaults, 4},
    {kTabInstallation, 4, kTabInstallation, 0},
};

TEST_F(PageGroups, EveryTabChangeLeavesOnlyTheSelectedPageShown) {
    std::vector<Page> targets(std::begin(kPages), std::end(kPages));
    targets.push_back({kTabDefaults, 9, kTabDefaults, 0});  // a damaged stored category shows Printer/Font
    targets.push_back({-1, 0, -1, 0});                      // no tab selected
    for (const Page& from : kPages) {
        for (const Page& to : targets) {
            if (from.tab == to.tab) continue;  // selecting the current tab sends no notification
            SCOPED_TRACE(testing::Message() << "from tab " << from.tab << "/" << from.category << " to tab " << to.tab
                                            << "/" << to.category);
            controls = FakeControls();
            record = SetupDialog{};
            record.defaultsCategory = from.category;
            ShowTabPage(controls, table, record, from.tab);
            record.defaultsCategory = to.category;
            record.defaultsReviewed = 0;
            record.installationReviewed = 0;
            ShowTabPage(controls, table, record, to.tab);
            EXPECT_EQ(VisiblePageControls(), Group(to.row, to.column));
            EXPECT_EQ(record.defaultsReviewed, to.tab == kTabDefaults ? 1 : 0);
            EXPECT_EQ(record.installationReviewed, to.tab == kTabInstallation ? 1 : 0);
            EXPECT_EQ(record.defaultsCategory, to.category);
            for (int id : kFrame) EXPECT_TRUE(controls.Visible(id)) << id;
        }
    }
}

TEST_F(PageGroups, CategoryChangeKeepsTheButtonsAndSwapsTheRest) {
    const std::set<int> buttons = {IDC_CATEGORY_PRINTER_FONT, IDC_CATEGORY_SORTING, IDC_CATEGORY_FILE_DISPLAY,
                                   IDC_CATEGORY_BACKDROP, IDC_CATEGORY_FOLDER_DISPLAY};
    record.defaultsCategory = 0;
    ShowTabPage(controls, table, record, kTabDefaults);
    for (int category : {4, 1, 2, 0, 3}) {
        ShowDefaultsCategory(controls, table, category);
        EXPECT_EQ(VisiblePageControls(), Group(kTabDefaults, category)) << category;
        for (int button : buttons) EXPECT_TRUE(controls.Visible(button));
    }
    // The button just pressed has the keyboard focus: hiding it, even for a moment, would move the
    // focus away (to Install).
    for (int id : controls.Hidings()) EXPECT_FALSE(buttons.count(id)) << id;
}

}  // namespace
