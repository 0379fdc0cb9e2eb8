#include "dialog/page_groups.h"

namespace {

void ShowGroup(Controls& controls, const ControlGroup& group, bool visible) {
    for (size_t position = 0; position < group.size(); ++position) controls.Show(group[position], visible);
}

bool Contains(const ControlGroup& group, int id) {
    for (size_t position = 0; position < group.size(); ++position) {
        if (group[position] == id) return true;
    }
    return false;
}

bool IsCategory(int category) { return category >= 0 && category < kDefaultsCategoryCount; }

}  // namespace

int DisplayedCategory(const SetupDialog& record) {
    return IsCategory(record.defaultsCategory) ? record.defaultsCategory : 0;
}

void ShowTabPage(Controls& controls, const ControlGroupTable& table, SetupDialog& record, int selectedTab) {
    for (int row = 0; row < kTabPageCount; ++row) {
        if (row == selectedTab) continue;
        for (const ControlGroup& group : table[row]) ShowGroup(controls, group, false);
    }
    if (selectedTab < 0 || selectedTab >= kTabPageCount) return;
    const int column = selectedTab == kTabDefaults ? DisplayedCategory(record) : 0;
    ShowGroup(controls, table[selectedTab][column], true);
    if (selectedTab == kTabDefaults) record.defaultsReviewed = 1;
    if (selectedTab == kTabInstallation) record.installationReviewed = 1;
}

void ShowDefaultsCategory(Controls& controls, const ControlGroupTable& table, int category) {
    if (!IsCategory(category)) return;
    const auto& defaults = table[kTabDefaults];
    const ControlGroup& chosen = defaults[category];
    // A control of the chosen category stays on display: hiding the pressed button would take the
    // keyboard focus from it.
    for (int column = 0; column < kDefaultsCategoryCount; ++column) {
        if (column == category) continue;
        const ControlGroup& group = defaults[column];
        for (size_t position = 0; position < group.size(); ++position) {
            if (!Contains(chosen, group[position])) controls.Show(group[position], false);
        }
    }
    ShowGroup(controls, chosen, true);
}
