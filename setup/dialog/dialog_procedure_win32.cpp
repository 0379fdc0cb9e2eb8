// The setup dialog: one procedure that dispatches on the message and the control ID to small
// handlers. What the dialog keeps while it runs (the record, the installation flag, the banner, the
// page painter's reports, the page-keys filter) is one DialogState, which RunSetupDialog owns for
// the dialog's lifetime and the handlers reach through the window's user data.
#include "dialog/dialog_procedure_win32.h"

#include <commctrl.h>

#include <cstring>

#include "configuration/configuration.h"
#include "configuration/setup_dialog_record.h"
#include "dialog/control_groups.h"
#include "dialog/defaults_page.h"
#include "dialog/folder_chooser_win32.h"
#include "dialog/installation_directory.h"
#include "dialog/page_groups.h"
#include "dialog/requirements.h"
#include "operations/install.h"
#include "operations/uninstall.h"
#include "platform/controls_win32.h"
#include "platform/desktop_win32.h"
#include "platform/platform_win32.h"
#include "platform/volumes_win32.h"
#include "render/page_painter_win32.h"
#include "render/page_text.h"
#include "render/scrolling_banner_win32.h"
#include "resources/resource_ids.h"
#include "setup.h"
#include "text/text_format.h"

// HandleDefaultsCommand receives the notification code of WM_COMMAND as it comes.
static_assert(kSelectionChanged == CBN_SELCHANGE);

namespace {

constexpr UINT_PTR kBannerTimer = 1026;
constexpr UINT kBannerPeriod = 10;  // milliseconds
constexpr int kLabelCapacity = 255;
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kYellow = RGB(240, 240, 0);

constexpr int kTabLabelStrings[kTabPageCount] = {IDS_TAB_WELCOME, IDS_TAB_REQUIREMENTS, IDS_TAB_DEFAULTS,
                                                 IDS_TAB_INSTALLATION};

struct DialogState {
    SetupDialog record;
    bool installed;
    ScrollingBanner banner;
    // Reports survive from paint to paint for the dialog's lifetime, so a malformed text raises one box.
    ReportedTexts reportedTexts;
    HHOOK pageKeysHook;
    // The adapters the dialog works through. Its message boxes belong to it: a box that belonged to
    // no window would leave the dialog usable while the box waits for an answer, where a click could
    // turn the page under the box, press Install again for a second box, or end the dialog.
    Win32Messages messages;
    Platform platform = Win32PlatformWith(messages);
};

// Windows calls the page-keys filter with a message but without the dialog, so the filter finds the
// dialog here, from the filter's installation to its removal.
HWND pageKeysDialog = nullptr;

DialogState* AttachedState(HWND dialog) {
    return reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

HWND TabStrip(HWND dialog) { return GetDlgItem(dialog, IDC_TAB_STRIP); }

int SelectedPage(HWND dialog) { return static_cast<int>(SendMessageA(TabStrip(dialog), TCM_GETCURSEL, 0, 0)); }

// Selects a page as a click on its label does: the tab strip sends TCN_SELCHANGING and TCN_SELCHANGE.
void SelectPage(HWND dialog, int page) {
    if (SelectedPage(dialog) != page) SendMessageA(TabStrip(dialog), TCM_SETCURFOCUS, page, 0);
}

void FocusControl(HWND dialog, int id) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}

// +1 for the next page (Ctrl+Tab, Ctrl+PgDn), -1 for the previous one (Ctrl+Shift+Tab, Ctrl+PgUp), else 0.
int PageStep(const MSG& message) {
    if (message.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return 0;
    switch (message.wParam) {
        case VK_TAB:
            return GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
        case VK_NEXT:
            return 1;
        case VK_PRIOR:
            return -1;
        default:
            return 0;
    }
}

// The dialog manager would take Ctrl+Tab for Tab and has no use for Ctrl+PgDn/PgUp; its message
// filter sees every key of the dialog first, wherever the focus is.
LRESULT CALLBACK PageKeysFilter(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_DIALOGBOX) {
        const MSG& message = *reinterpret_cast<const MSG*>(lParam);
        const int step = PageStep(message);
        if (step != 0 && GetAncestor(message.hwnd, GA_ROOT) == pageKeysDialog) {
            SelectPage(pageKeysDialog, (SelectedPage(pageKeysDialog) + step + kTabPageCount) % kTabPageCount);
            return TRUE;
        }
    }
    return CallNextHookEx(AttachedState(pageKeysDialog)->pageKeysHook, code, wParam, lParam);
}

void StartPageKeys(HWND dialog, DialogState& state) {
    pageKeysDialog = dialog;
    state.pageKeysHook = SetWindowsHookExA(WH_MSGFILTER, PageKeysFilter, nullptr, GetCurrentThreadId());
}

void StopPageKeys(DialogState& state) {
    if (state.pageKeysHook != nullptr) UnhookWindowsHookEx(state.pageKeysHook);
    state.pageKeysHook = nullptr;
    pageKeysDialog = nullptr;
}

void SetProgramIcon(HWND dialog) {
    const HICON icon = LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(IDI_PROGRAM));
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void SetCaption(HWND dialog, Strings& strings) {
    char format[kLabelCapacity];
    char version[kLabelCapacity];
    char caption[kLabelCapacity + 1];
    strings.Load(IDS_CAPTION_FORMAT, format, kLabelCapacity);
    strings.Load(IDS_VERSION, version, kLabelCapacity);
    FormatText(caption, sizeof caption, format, version);
    SendMessageA(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption));
}

void StartBanner(HWND dialog, ScrollingBanner& banner) {
    CreateBannerFromResource(banner, GetDlgItem(dialog, IDC_BANNER_STRIP), ModuleInstance());
    SetTimer(dialog, kBannerTimer, kBannerPeriod, nullptr);
}

void ShowExistingInstallation(HWND dialog, SetupDialog& record) {
    record.currentTab = 1;
    record.currentTextPage = 1;
    SetDlgItemTextA(dialog, IDC_INSTALL, "Update");
    ShowWindow(GetDlgItem(dialog, IDC_UNINSTALL), SW_SHOW);
    EnableWindow(GetDlgItem(dialog, IDC_INSTALLATION_DIRECTORY), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_CHANGE_DIRECTORY), FALSE);
}

// The tab strip keeps a copy of each label.
void InsertTabs(HWND dialog, Strings& strings) {
    const HWND tabs = TabStrip(dialog);
    for (int page = 0; page < kTabPageCount; ++page) {
        char label[kLabelCapacity];
        strings.Load(kTabLabelStrings[page], label, kLabelCapacity - 1);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = label;
        item.cchTextMax = kLabelCapacity;
        item.iImage = -1;
        SendMessageA(tabs, TCM_INSERTITEMA, page, reinterpret_cast<LPARAM>(&item));
    }
    RECT client;
    GetClientRect(tabs, &client);
    SendMessageA(tabs, TCM_SETITEMSIZE, 0, MAKELPARAM((client.right - client.left) / 6, 0));
}

BOOL OnInitDialog(HWND dialog, DialogState& state) {
    state.messages.owner = dialog;
    Platform& platform = state.platform;
    SetupDialog& record = state.record;
    Win32Controls controls(dialog);
    InitNewRecord(record, platform.strings);
    CheckDlgButton(dialog, IDC_PICK_FONT_EVERY_TIME, BST_CHECKED);
    CheckDlgButton(dialog, IDC_USE_DEFAULT_PRINTER, BST_CHECKED);
    SetProgramIcon(dialog);
    FillDefaultsLists(controls, platform.strings);
    SetCaption(dialog, platform.strings);
    StartBanner(dialog, state.banner);
    state.installed = LoadConfiguration(platform, record);
    const bool installed = state.installed;
    if (installed) ShowExistingInstallation(dialog, record);
    SetDefaultsFromRecord(controls, platform.strings, record);
    CheckRegistryPrivilege(platform.registry, record);
    InsertTabs(dialog, platform.strings);
    CheckPrinters(Win32Printers(), controls, record);
    Win32FontFaces fonts(dialog);
    SetPrinterFontAndSize(controls, fonts, record, installed);
    SetInstallationDirectory(controls, Win32ProgramsFolder(), record, installed);
    EnableInstallWhenRequirementsMet(controls, record);
    SetPrinterFontChoices(controls, record);
    StartPageKeys(dialog, state);
    return TRUE;
}

void EndSetupDialog(HWND dialog, DialogState& state) {
    StopPageKeys(state);
    KillTimer(dialog, kBannerTimer);
    state.banner.Release();
    SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
    EndDialog(dialog, 0);
}

// Defaults, Printer/Font, with the font size field focused and its text selected for typing over.
void ShowFontSizeField(HWND dialog, SetupDialog& record) {
    Win32Controls controls(dialog);
    SelectPage(dialog, kTabDefaults);
    ChooseDefaultsCategory(controls, kControlGroupTable, record, 0);
    FocusControl(dialog, IDC_FONT_SIZE);
}

void ShowDirectoryField(HWND dialog) {
    SelectPage(dialog, kTabInstallation);
    FocusControl(dialog, IDC_INSTALLATION_DIRECTORY);
}

// The settings and the directory are checked before anything is saved or written; a bad one gets a
// message and the dialog stays open at its field, with every setting as the user left it. The field
// gets the focus before the message box opens, so that the focus comes back to it when the box closes.
bool InputsAccepted(HWND dialog, DialogState& state) {
    Win32Controls controls(dialog);
    if (!FontSizeAccepted(controls)) {
        ShowFontSizeField(dialog, state.record);
        ReportFontSizeProblem(controls, state.messages);
        return false;
    }
    const CheckedDirectory checked =
        GatherInstallationDirectory(controls, Win32Volumes(), state.record, state.installed);
    if (checked.problem == DirectoryProblem::None) return true;
    ShowDirectoryField(dialog);
    ReportDirectoryProblem(state.messages, checked);
    return false;
}

void InstallOrUpdate(HWND dialog, DialogState& state) {
    SetupDialog& record = state.record;
    const bool installed = state.installed;
    if (!InputsAccepted(dialog, state)) return;
    Platform& platform = state.platform;
    Win32Controls controls(dialog);
    GatherSettings(controls, record);
    // Settings that could not be stored leave the dialog open: the user has been told and may cancel.
    if (StoreSettingsAndInstall(platform, record, installed)) EndSetupDialog(dialog, state);
}

BOOL OnCommand(HWND dialog, DialogState& state, int controlId, int notification) {
    SetupDialog& record = state.record;
    Platform& platform = state.platform;
    switch (controlId) {
        case IDC_CANCEL_BUTTON:
            EndSetupDialog(dialog, state);
            return TRUE;
        case IDC_INSTALL:
            InstallOrUpdate(dialog, state);
            return TRUE;
        case IDC_UNINSTALL:
            RemoveInstallation(platform, Win32Launcher(), Win32QuitRequest(), record);
            return TRUE;
        case IDC_CHANGE_DIRECTORY:
            ChooseInstallationDirectory(dialog);
            return TRUE;
        default: {
            Win32Controls controls(dialog);
            return HandleDefaultsCommand(controls, platform.strings, kControlGroupTable, record, controlId,
                                         notification);
        }
    }
}

// A page control that has the focus is about to be hidden, which would hand the focus to Install;
// the tab strip, which shows the page now on display, takes it instead.
void MoveFocusOffHiddenPage(HWND dialog) {
    const HWND focus = GetFocus();
    if (focus == nullptr || GetParent(focus) != dialog) return;
    switch (GetDlgCtrlID(focus)) {
        case IDC_INSTALL:
        case IDC_CANCEL_BUTTON:
        case IDC_UNINSTALL:
        case IDC_TAB_STRIP:
            return;
        default:
            FocusControl(dialog, IDC_TAB_STRIP);
    }
}

// Wine's tab strip marks a label as pressed when a click or TCM_SETCURSEL selects it, but a change
// of page through the strip's focus (its arrow keys, TCM_SETCURFOCUS) leaves the mark on the label
// it left. While a label other than the selected one carries the mark, the strip takes any click on
// a label for releasing pressed buttons (which only a strip of buttons has) and keeps the page. So
// no label carries the mark after a change of page, however the change came about.
void UnmarkPressedLabels(HWND tabs) {
    TCITEMA item = {};
    item.mask = TCIF_STATE;
    item.dwStateMask = TCIS_BUTTONPRESSED;
    for (int page = 0; page < kTabPageCount; ++page) {
        SendMessageA(tabs, TCM_SETITEMA, page, reinterpret_cast<LPARAM>(&item));
    }
}

BOOL OnTabChanged(HWND dialog, SetupDialog& record) {
    const HWND tabs = TabStrip(dialog);
    UnmarkPressedLabels(tabs);
    MoveFocusOffHiddenPage(dialog);
    Win32Controls controls(dialog);
    ShowTabPage(controls, kControlGroupTable, record, static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)));
    RECT area;
    GetClientRect(tabs, &area);
    SendMessageA(tabs, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&area));
    InvalidateRect(tabs, &area, TRUE);
    return TRUE;
}

// Label colours: the state of each page, as the welcome text asks the user to review them.
bool LabelColour(const SetupDialog& record, UINT page, COLORREF& colour) {
    switch (page) {
        case kTabRequirements:
            colour = RequirementsMet(record) ? kGreen : kRed;
            return true;
        case kTabDefaults:
            colour = record.defaultsReviewed ? kGreen : kYellow;
            return true;
        case kTabInstallation:
            colour = record.installationReviewed ? kGreen : kYellow;
            return true;
        default:
            return false;
    }
}

HFONT LabelFont(const RECT& item, int weight) {
    return CreateFontA(14, (item.right - item.left) / 13, 0, 0, weight, FALSE, FALSE, FALSE, OEM_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       "Times New Roman");
}

void DrawTabLabel(const DRAWITEMSTRUCT& draw, const SetupDialog& record) {
    char label[kLabelCapacity] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = label;
    item.cchTextMax = kLabelCapacity - 1;
    SendMessageA(draw.hwndItem, TCM_GETITEMA, draw.itemID, reinterpret_cast<LPARAM>(&item));

    const HFONT normal = LabelFont(draw.rcItem, FW_NORMAL);
    const HFONT bold = LabelFont(draw.rcItem, FW_BOLD);
    const HGDIOBJ previousFont = SelectObject(draw.hDC, (draw.itemState & ODS_SELECTED) ? bold : normal);
    COLORREF colour;
    const bool coloured = LabelColour(record, draw.itemID, colour);
    const COLORREF previousColour = coloured ? SetTextColor(draw.hDC, colour) : 0;
    RECT box = draw.rcItem;
    DrawTextExA(draw.hDC, label, -1, &box, DT_CENTER | DT_VCENTER, nullptr);
    if (coloured) SetTextColor(draw.hDC, previousColour);
    SelectObject(draw.hDC, previousFont);
    DeleteObject(normal);
    DeleteObject(bold);
}

void SetUpPageSpinner(HWND dialog, int pages) {
    const HWND spinner = GetDlgItem(dialog, IDC_PAGE_SPINNER);
    const bool turns = pages >= 2;
    ShowWindow(spinner, turns ? SW_SHOW : SW_HIDE);
    SendMessageA(spinner, UDM_SETRANGE, 0, MAKELPARAM(turns ? pages : 1, 1));
    SendMessageA(spinner, UDM_SETPOS, 0, MAKELPARAM(1, 0));
    EnableWindow(spinner, turns);
}

BOOL OnDrawItem(HWND dialog, DialogState& state, const DRAWITEMSTRUCT& draw) {
    SetupDialog& record = state.record;
    if (draw.CtlID != IDC_TAB_STRIP) return FALSE;
    DrawTabLabel(draw, record);
    if (draw.itemState & ODS_SELECTED) {
        Platform& platform = state.platform;
        const auto page = static_cast<int32_t>(draw.itemID);
        if (page == record.currentTab) {
            PaintPageText(draw, record, state.installed, state.reportedTexts, platform.strings, platform.messages);
        } else {
            record.currentTab = page;
            record.currentTextPage = 1;
            SetUpPageSpinner(dialog, PaintPageText(draw, record, state.installed, state.reportedTexts, platform.strings,
                                                   platform.messages));
        }
    }
    return TRUE;
}

BOOL OnPageSpinner(HWND dialog, SetupDialog& record) {
    record.currentTextPage = LOWORD(SendDlgItemMessageA(dialog, IDC_PAGE_SPINNER, UDM_GETPOS, 0, 0));
    InvalidateRect(TabStrip(dialog), nullptr, TRUE);
    return TRUE;
}

// The state comes with WM_INITDIALOG and stays attached to the window until the dialog ends; the
// messages before and after it find none and are left to the dialog manager.
INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        return OnInitDialog(dialog, *reinterpret_cast<DialogState*>(lParam));
    }
    DialogState* state = AttachedState(dialog);
    if (state == nullptr) return FALSE;
    switch (message) {
        case WM_COMMAND:
            return OnCommand(dialog, *state, LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return reinterpret_cast<const NMHDR*>(lParam)->code == TCN_SELCHANGE ? OnTabChanged(dialog, state->record)
                                                                                 : FALSE;
        case WM_DRAWITEM:
            return wParam == IDC_TAB_STRIP
                       ? OnDrawItem(dialog, *state, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))
                       : FALSE;
        case WM_TIMER:
            if (wParam != kBannerTimer) return FALSE;
            state->banner.Advance();
            return TRUE;
        case WM_VSCROLL:
            return OnPageSpinner(dialog, state->record);
        default:
            return FALSE;
    }
}

}  // namespace

void RunSetupDialog(HINSTANCE instance) {
    DialogState state{};
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, DialogProcedure, reinterpret_cast<LPARAM>(&state));
}
