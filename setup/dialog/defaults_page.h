#pragma once
// The Defaults page: five categories of print defaults (Printer/Font, Sorting, File display,
// Backdrop, Folder display). The dialog sets the controls from the record in four steps while it
// initialises, the commands below keep the toggles and the category in the record at once, and
// GatherSettings reads everything else back when Install or Update is pressed.
#include <cstdint>

#include "configuration/setup_dialog_record.h"
#include "dialog/control_groups.h"
#include "platform/controls.h"
#include "platform/desktop.h"
#include "platform/ports.h"

// ---------------------------------------------------------------- start-up, in dialog order
// Fills the sort-key, display and size-unit lists (before the configuration is loaded).
void FillDefaultsLists(Controls& controls, Strings& strings);

// Sets the Sorting, File display, Backdrop and Folder display controls and checks the category
// button (after the configuration is loaded).
void SetDefaultsFromRecord(Controls& controls, Strings& strings, const SetupDialog& record);

// Selects the stored printer (the printer list is filled by CheckPrinters), fills the font list
// with the TrueType faces and selects the stored font, and shows the font size. A new installation
// gets the first printer, the first font and size 12.
void SetPrinterFontAndSize(Controls& controls, FontFaces& fonts, const SetupDialog& record, bool installed);

// Checks the printer and font radio buttons and the category button (last).
void SetPrinterFontChoices(Controls& controls, const SetupDialog& record);

// ---------------------------------------------------------------- Install / Update
// The font sizes the system's font dialog offers, in points.
inline constexpr int32_t kSmallestFontSize = 1;
inline constexpr int32_t kLargestFontSize = 1638;

// Checked before anything is gathered: the leading number of the font size field (as the gathering
// reads it, so "  42abc" is 42) must be a whole number of points the font dialog offers.
bool FontSizeAccepted(Controls& controls);
// Tells the user that the font size field holds no such number.
void ReportFontSizeProblem(Controls& controls, Messages& messages);

inline constexpr char kFontSizeProblemCaption[] = "Font Size";

// Reads the Defaults controls into the record; the installation directory has a module of its own.
void GatherSettings(Controls& controls, SetupDialog& record);

// ---------------------------------------------------------------- commands
// A category button: stores the category, checks its button and shows its controls only.
void ChooseDefaultsCategory(Controls& controls, const ControlGroupTable& table, SetupDialog& record, int category);
// "Ascending" / "Descending" for files (1055) and folders (1053).
void ToggleFileSortOrder(Controls& controls, Strings& strings, SetupDialog& record);
void ToggleFolderSortOrder(Controls& controls, Strings& strings, SetupDialog& record);
// "Choose settings at print time" of Sorting (1065), File display (1066), Folder display (1076), Backdrop (1069).
void ToggleSortAtPrintTime(Controls& controls, SetupDialog& record);
void ToggleFileDisplayAtPrintTime(Controls& controls, SetupDialog& record);
void ToggleFolderDisplayAtPrintTime(Controls& controls, SetupDialog& record);
void ToggleBackdropAtPrintTime(Controls& controls, SetupDialog& record);
// "Do" / "Do not" print the backdrop (1067).
void TogglePrintBackdrop(Controls& controls, Strings& strings, SetupDialog& record);
// CBN_SELCHANGE of the display lists 1059 (files) and 1073 (folders).
void FileDisplayColumnChanged(Controls& controls);
void FolderDisplayColumnChanged(Controls& controls);

inline constexpr int kSelectionChanged = 1;  // CBN_SELCHANGE, checked in dialog_procedure_win32.cpp

// WM_COMMAND: runs the Defaults command for `controlId` and returns true, or returns false when the
// command is not one of this page's (the display lists answer CBN_SELCHANGE only).
bool HandleDefaultsCommand(Controls& controls, Strings& strings, const ControlGroupTable& table, SetupDialog& record,
                           int controlId, int notification);
