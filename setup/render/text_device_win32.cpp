#include "render/text_device_win32.h"

static_assert(MakeTextColor(0x12, 0x34, 0x56) == RGB(0x12, 0x34, 0x56), "a TextColor is a COLORREF");

namespace {

int Length(std::string_view text) { return static_cast<int>(text.size()); }

// DrawTextExA takes a writable text only for DT_MODIFYSTRING, which is never passed here.
char* Writable(std::string_view text) { return const_cast<char*>(text.data()); }

RECT ToRect(TextRect rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

void Win32TextDevice::SelectFont(TextFont font) {
    switch (font) {
        case TextFont::Normal:
            SelectObject(dc_, normal_);
            break;
        case TextFont::Bold:
            SelectObject(dc_, bold_);
            break;
        case TextFont::Title:
            SelectObject(dc_, title_);
            break;
    }
}

void Win32TextDevice::SetTextColor(TextColor color) { ::SetTextColor(dc_, color); }

TextExtent Win32TextDevice::Measure(std::string_view text) {
    SIZE size{};
    GetTextExtentPoint32A(dc_, text.data(), Length(text), &size);
    return {size.cx, size.cy};
}

void Win32TextDevice::Output(int32_t x, int32_t y, std::string_view text) {
    TextOutA(dc_, x, y, text.data(), Length(text));
}

TextRect Win32TextDevice::CentredLineExtent(std::string_view text, TextRect rect) {
    RECT extent = ToRect(rect);
    DrawTextExA(dc_, Writable(text), Length(text), &extent, DT_CENTER | DT_CALCRECT, nullptr);
    return {extent.left, extent.top, extent.right, extent.bottom};
}

void Win32TextDevice::DrawCentredLine(std::string_view text, TextRect rect) {
    RECT line = ToRect(rect);
    DrawTextExA(dc_, Writable(text), Length(text), &line, DT_CENTER, nullptr);
}
