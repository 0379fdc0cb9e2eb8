#include "render/page_painter_win32.h"

#include <commctrl.h>

#include <array>

#include "render/page_text.h"
#include "render/text_device_win32.h"

namespace {

HFONT CreatePageFont(int height, int weight) {
    return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, OEM_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Times New Roman");
}

// The three fonts of the page texts, created for one paint.
class PageFonts {
public:
    PageFonts()
        : normal(CreatePageFont(-12, FW_NORMAL)),
          bold(CreatePageFont(-12, FW_BOLD)),
          title(CreatePageFont(-14, FW_BOLD)) {}
    ~PageFonts() {
        DeleteObject(normal);
        DeleteObject(bold);
        DeleteObject(title);
    }
    PageFonts(const PageFonts&) = delete;
    PageFonts& operator=(const PageFonts&) = delete;

    const HFONT normal;
    const HFONT bold;
    const HFONT title;
};

// The text is drawn through a device context of its own, since the one of the label may be clipped
// to the label. That context leaves out the dialog's controls that lie over the strip (they are its
// siblings above it), and is clipped to what the paint under way may change: the display area
// within the strip's update region, which is the system region of the label's paint context (in
// screen coordinates). Painted beyond that, the page would cover controls that nothing repaints.
HDC PageContext(HWND tab, HDC paintDc, const RECT& area) {
    HDC dc = GetDCEx(tab, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    HRGN paint = CreateRectRgn(0, 0, 0, 0);
    if (GetRandomRgn(paintDc, paint, SYSRGN) == 1) {
        POINT origin{0, 0};
        ClientToScreen(tab, &origin);
        OffsetRgn(paint, -origin.x, -origin.y);
        SelectClipRgn(dc, paint);
    }
    DeleteObject(paint);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    return dc;
}

// Drawn again over its old self, anti-aliased text would grow bolder each time. So the part of the
// display area being painted first gets the tab strip's own background, as its erasing paints it.
void PaintBackground(HWND tab, HDC dc) { SendMessageA(tab, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0); }

}  // namespace

int32_t PaintPageText(const DRAWITEMSTRUCT& draw, const SetupDialog& record, bool installed, ReportedTexts& reported,
                      Strings& strings, Messages& messages) {
    const HWND tab = draw.hwndItem;
    RECT area{};
    GetClientRect(tab, &area);
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));

    const PageTextInputs inputs{record.currentTab, installed, record.printerCount, record.registryPrivilege != 0,
                                RecordText(record.installationDirectory)};
    std::array<char, kPageTextSize> text;
    if (!ComposePageText(strings, inputs, text)) {
        InvalidateRect(tab, &area, TRUE);
        return 0;
    }

    HDC dc = PageContext(tab, draw.hDC, area);
    PaintBackground(tab, dc);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ previousFont = GetCurrentObject(dc, OBJ_FONT);
    const PageFonts fonts;
    Win32TextDevice device(dc, fonts.normal, fonts.bold, fonts.title);
    const int32_t pages = RenderPageText(device, messages, reported, {area.left, area.top, area.right, area.bottom},
                                         text.data(), record.currentTextPage);
    SetBkMode(dc, previousMode);
    // A font is deleted only once no device context holds it.
    SelectObject(dc, previousFont);
    ReleaseDC(tab, dc);
    return pages;
}
