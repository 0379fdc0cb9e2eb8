#pragma once
// The drawing surface that MiniRTF lays text out on: a device context holding three fonts chosen by
// the caller. The Win32 adapter works on an HDC; tests use a fake with fixed metrics.
#include <cstdint>
#include <string_view>

enum class TextFont { Normal, Bold, Title };

struct TextRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct TextExtent {
    int32_t width = 0;
    int32_t height = 0;
};

// A colour as the platform stores it: red in the low byte, then green, then blue (a COLORREF).
using TextColor = uint32_t;

constexpr TextColor MakeTextColor(uint8_t red, uint8_t green, uint8_t blue) {
    return red | (static_cast<TextColor>(green) << 8) | (static_cast<TextColor>(blue) << 16);
}

class TextDevice {
public:
    virtual ~TextDevice() = default;
    // Selects one of the caller's fonts; it stays selected after the layout returns.
    virtual void SelectFont(TextFont font) = 0;
    virtual void SetTextColor(TextColor color) = 0;
    // Width and height of `text` as one line in the selected font.
    virtual TextExtent Measure(std::string_view text) = 0;
    // Draws `text` with its top-left corner at (x, y), unclipped.
    virtual void Output(int32_t x, int32_t y, std::string_view text) = 0;
    // The rectangle that `text` occupies as one centred line starting at rect's top-left corner.
    virtual TextRect CentredLineExtent(std::string_view text, TextRect rect) = 0;
    // Draws `text` as one line centred horizontally in `rect`, aligned to its top and clipped to it.
    virtual void DrawCentredLine(std::string_view text, TextRect rect) = 0;
};
