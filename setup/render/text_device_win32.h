#pragma once
// The text device over a Win32 device context and the caller's three fonts.
#include <windows.h>

#include "platform/text_device.h"

class Win32TextDevice final : public TextDevice {
public:
    Win32TextDevice(HDC dc, HFONT normal, HFONT bold, HFONT title)
        : dc_(dc), normal_(normal), bold_(bold), title_(title) {}
    void SelectFont(TextFont font) override;
    void SetTextColor(TextColor color) override;
    TextExtent Measure(std::string_view text) override;
    void Output(int32_t x, int32_t y, std::string_view text) override;
    TextRect CentredLineExtent(std::string_view text, TextRect rect) override;
    void DrawCentredLine(std::string_view text, TextRect rect) override;

private:
    HDC dc_;
    HFONT normal_;
    HFONT bold_;
    HFONT title_;
};
