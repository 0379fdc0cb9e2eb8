// Shows one page text of the setup dialog, or its scrolling banner, alone in a dialog that gives the
// tab control (296 x 154 dialog units) or the banner strip (342 x 13) the setup dialog's font and
// size, and paints it through PaintPageText or ScrollingBanner as the setup dialog does. Used to
// take screenshots under Wine.
//
//   render_window TAB [installed] [noprinter] [noprivilege] [page=N] [malformed] [quit=MS]
//   render_window banner [quit=MS]
//
// TAB is 0 Welcome, 1 Requirements, 2 Defaults, 3 Installation. "malformed" replaces every page
// text with one that lacks a closing brace and repaints the page every 200 ms, to show that the
// error box comes once. The page count is printed on standard output after each paint.
#include <windows.h>
// after windows.h, whose types it uses
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "configuration/setup_dialog_record.h"
#include "render/page_painter_win32.h"
#include "render/scrolling_banner_win32.h"
#include "resources/resource_ids.h"

namespace {

constexpr UINT_PTR kBannerTimer = 1026;
constexpr UINT_PTR kRepaintTimer = 1;
constexpr UINT_PTR kQuitTimer = 2;
constexpr char kMalformedText[] = "{reset}This page text has lost the closing brace of its last directive.{bold";

struct Options {
    bool banner = false;
    int tab = 0;
    bool installed = false;
    bool printer = true;
    bool privilege = true;
    int page = 1;
    bool malformed = false;
    int quitAfter = 0;
};

class ResourceStrings final : public Strings {
public:
    explicit ResourceStrings(bool malformed) : malformed_(malformed) {}
    int Load(int id, char* buffer, int capacity) override {
        if (malformed_ && capacity > 0) {
            std::snprintf(buffer, static_cast<size_t>(capacity), "%s", kMalformedText);
            return static_cast<int>(std::strlen(buffer));
        }
        return LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), buffer, capacity);
    }

private:
    bool malformed_;
};

class BoxMessages final : public Messages {
public:
    int Show(const char* text, const char* caption, uint32_t style) override {
        std::printf("message box: %s: %s\n", caption ? caption : "", text);
        std::fflush(stdout);
        return MessageBoxA(nullptr, text, caption, style);
    }
};

Options options;
SetupDialog record{};
ResourceStrings* strings = nullptr;
BoxMessages messages;
ReportedTexts reportedTexts;
ScrollingBanner banner;

// ---------------------------------------------------------------- in-memory dialog template
class Template {
public:
    void Dialog(DWORD style, short cx, short cy, const char* title, short items) {
        Dword(style);
        Dword(0);
        words_.push_back(static_cast<WORD>(items));
        Short(0);
        Short(0);
        Short(cx);
        Short(cy);
        words_.push_back(0);  // no menu
        words_.push_back(0);  // default class
        Text(title);
        words_.push_back(4);  // point size of the setup dialog's font
        Text("MS Sans Serif");
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, const char* windowClass) {
        if (words_.size() % 2 != 0) words_.push_back(0);
        Dword(style);
        Dword(0);
        Short(x);
        Short(y);
        Short(cx);
        Short(cy);
        words_.push_back(id);
        Text(windowClass);
        Text("");
        words_.push_back(0);  // no creation data
    }
    LPCDLGTEMPLATEA Get() const { return reinterpret_cast<LPCDLGTEMPLATEA>(words_.data()); }

private:
    void Dword(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void Short(short value) { words_.push_back(static_cast<WORD>(value)); }
    void Text(const char* text) {
        for (; *text; ++text) words_.push_back(static_cast<unsigned char>(*text));
        words_.push_back(0);
    }
    std::vector<WORD> words_;  // a vector of WORD keeps the template WORD-aligned
};

// ---------------------------------------------------------------- tab page
void InsertTabs(HWND tab) {
    static char labels[4][255];
    const int ids[4] = {IDS_TAB_WELCOME, IDS_TAB_REQUIREMENTS, IDS_TAB_DEFAULTS, IDS_TAB_INSTALLATION};
    for (int index = 0; index < 4; ++index) {
        LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(ids[index]), labels[index], 254);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = labels[index];
        item.cchTextMax = 255;
        item.iImage = -1;
        SendMessageA(tab, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
    RECT client{};
    GetClientRect(tab, &client);
    SendMessageA(tab, TCM_SETITEMSIZE, 0, MAKELPARAM((client.right - client.left) / 6, 0));
    SendMessageA(tab, TCM_SETCURSEL, static_cast<WPARAM>(options.tab), 0);
}

void DrawTab(const DRAWITEMSTRUCT& item) {
    char label[255] = "";
    TCITEMA query{};
    query.mask = TCIF_TEXT;
    query.pszText = label;
    query.cchTextMax = 254;
    SendMessageA(item.hwndItem, TCM_GETITEMA, item.itemID, reinterpret_cast<LPARAM>(&query));
    RECT rect = item.rcItem;
    DrawTextExA(item.hDC, label, -1, &rect, DT_CENTER | DT_VCENTER, nullptr);
    if ((item.itemState & ODS_SELECTED) == 0) return;
    record.currentTab = static_cast<int32_t>(item.itemID);
    const int32_t pages = PaintPageText(item, record, options.installed, reportedTexts, *strings, messages);
    std::printf("tab %d page %d of %d\n", record.currentTab, record.currentTextPage, pages);
    std::fflush(stdout);
}

// ---------------------------------------------------------------- dialog
INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowTextA(dialog, options.banner ? "render_window banner" : "render_window page");
            if (options.banner) {
                HWND strip = GetDlgItem(dialog, IDC_BANNER_STRIP);
                CreateBannerFromResource(banner, strip, GetModuleHandleA(nullptr));
                SetTimer(dialog, kBannerTimer, 10, nullptr);
            } else {
                InsertTabs(GetDlgItem(dialog, IDC_TAB_STRIP));
                if (options.malformed) SetTimer(dialog, kRepaintTimer, 200, nullptr);
            }
            if (options.quitAfter > 0) SetTimer(dialog, kQuitTimer, static_cast<UINT>(options.quitAfter), nullptr);
            return TRUE;
        case WM_DRAWITEM:
            if (wParam != IDC_TAB_STRIP) return FALSE;
            DrawTab(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_TIMER:
            if (wParam == kBannerTimer) banner.Advance();
            if (wParam == kRepaintTimer) InvalidateRect(GetDlgItem(dialog, IDC_TAB_STRIP), nullptr, TRUE);
            if (wParam == kQuitTimer) EndDialog(dialog, 0);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDCANCEL) return FALSE;
            EndDialog(dialog, 0);
            return TRUE;
        case WM_DESTROY:
            banner.Release();
            return FALSE;
        default:
            return FALSE;
    }
}

bool ParseOptions(int argc, char** argv) {
    if (argc < 2) return false;
    if (std::strcmp(argv[1], "banner") == 0) {
        options.banner = true;
    } else if (argv[1][0] >= '0' && argv[1][0] <= '9') {
        options.tab = std::atoi(argv[1]);
    } else {
        return false;
    }
    for (int index = 2; index < argc; ++index) {
        const std::string word = argv[index];
        if (word == "installed") {
            options.installed = true;
        } else if (word == "noprinter") {
            options.printer = false;
        } else if (word == "noprivilege") {
            options.privilege = false;
        } else if (word == "malformed") {
            options.malformed = true;
        } else if (word.rfind("page=", 0) == 0) {
            options.page = std::atoi(word.c_str() + 5);
        } else if (word.rfind("quit=", 0) == 0) {
            options.quitAfter = std::atoi(word.c_str() + 5);
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!ParseOptions(__argc, __argv)) {
        std::fprintf(stderr,
                     "usage: render_window TAB [installed] [noprinter] [noprivilege] [page=N] [malformed] [quit=MS]\n"
                     "       render_window banner [quit=MS]\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    ResourceStrings resourceStrings(options.malformed);
    strings = &resourceStrings;
    record.currentTab = options.tab;
    record.currentTextPage = options.page;
    record.printerCount = options.printer ? 2 : 0;
    record.registryPrivilege = options.privilege ? 1 : 0;
    std::snprintf(record.installationDirectory, sizeof record.installationDirectory, "C:\\Program Files\\KOVA");

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
    Template dialog;
    if (options.banner) {
        dialog.Dialog(style, 356, 27, "", 1);
        dialog.Item(WS_CHILD | WS_VISIBLE | WS_DISABLED | SS_BLACKFRAME, 7, 7, 342, 13, IDC_BANNER_STRIP, "Static");
    } else {
        dialog.Dialog(style, 296, 154, "", 1);
        dialog.Item(WS_CHILD | WS_VISIBLE | TCS_OWNERDRAWFIXED | TCS_FIXEDWIDTH | TCS_MULTILINE, 0, 0, 296, 154,
                    IDC_TAB_STRIP, "SysTabControl32");
    }
    DialogBoxIndirectParamA(instance, dialog.Get(), nullptr, Procedure, 0);
    return 0;
}
