#pragma once
// Which page controls are on display: per tab page, and per Defaults category on the Defaults page,
// through the ControlGroupTable.
#include "configuration/setup_dialog_record.h"
#include "dialog/control_groups.h"
#include "platform/controls.h"

// The Defaults category the record asks for; a stored value outside 0 to 4 shows Printer/Font (0),
// so a damaged record never reads past the table.
int DisplayedCategory(const SetupDialog& record);

// Tab selection changed (TCN_SELCHANGE) to `selectedTab`: hides every control of every group of
// the other pages, then shows the page's group (the current category's on the Defaults page, the
// first one elsewhere) and marks Defaults or Installation as reviewed. A tab outside the table
// (no selection) shows no page controls.
void ShowTabPage(Controls& controls, const ControlGroupTable& table, SetupDialog& record, int selectedTab);

// Hides the controls of the other four Defaults categories, except those `category` shares with
// them (the category buttons), then shows those of `category`.
void ShowDefaultsCategory(Controls& controls, const ControlGroupTable& table, int category);
