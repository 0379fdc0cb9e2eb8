#pragma once
// A text device with fixed metrics: every character of a font has one width, every line one height.
// FakeTextDevice also records each call as a line of text that tests compare with expected logs.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_device.h"

// Metrics per font; the font the device holds before any font is selected has its own, so a test
// can tell it apart.
struct FixedTextMetrics {
    int32_t charWidth;
    int32_t height;
};
inline constexpr FixedTextMetrics kEntryFontMetrics{4, 9};
inline constexpr FixedTextMetrics kNormalFontMetrics{5, 10};
inline constexpr FixedTextMetrics kBoldFontMetrics{6, 12};
inline constexpr FixedTextMetrics kTitleFontMetrics{8, 16};

inline FixedTextMetrics MetricsOf(std::optional<TextFont> font) {
    if (!font) return kEntryFontMetrics;
    switch (*font) {
        case TextFont::Normal:
            return kNormalFontMetrics;
        case TextFont::Bold:
            return kBoldFontMetrics;
        case TextFont::Title:
            return kTitleFontMetrics;
    }
    return kEntryFontMetrics;
}

inline TextExtent MeasureFixed(std::optional<TextFont> font, std::string_view text) {
    const FixedTextMetrics metrics = MetricsOf(font);
    return {metrics.charWidth * static_cast<int32_t>(text.size()), metrics.height};
}

inline constexpr TextColor kEntryTextColor = 0x123456;

// Log lines, with fonts as E (entry), N, B, T and colours as six hex digits (0xBBGGRR):
//   "font B"                          a font selected
//   "color 0000ff"                    a colour set
//   "out N 000000 10,20 'word '"      a word output at its top-left corner
//   "calc 10,20,110,36 'text'"        the extent step of a centred line, with the rectangle given
//   "ctr T 000000 10,20,110,36 'text'" a centred line drawn into the rectangle
// Measurements are counted, not logged.
class FakeTextDevice final : public TextDevice {
public:
    void SelectFont(TextFont font) override;
    void SetTextColor(TextColor color) override;
    TextExtent Measure(std::string_view text) override;
    void Output(int32_t x, int32_t y, std::string_view text) override;
    TextRect CentredLineExtent(std::string_view text, TextRect rect) override;
    void DrawCentredLine(std::string_view text, TextRect rect) override;

    std::vector<std::string> log;
    int measurements = 0;
    std::optional<TextFont> font;
    TextColor color = kEntryTextColor;

    // Only the "out" and "ctr" lines: what appears on the page.
    std::vector<std::string> Drawn() const;
};
