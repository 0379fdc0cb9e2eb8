#include "fake_text_device.h"

#include <cstdio>

namespace {

const char* FontLetter(std::optional<TextFont> font) {
    if (!font) return "E";
    switch (*font) {
        case TextFont::Normal:
            return "N";
        case TextFont::Bold:
            return "B";
        case TextFont::Title:
            return "T";
    }
    return "?";
}

std::string Hex(TextColor color) {
    char text[16];
    std::snprintf(text, sizeof text, "%06x", static_cast<unsigned>(color));
    return text;
}

std::string Rect(TextRect rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

}  // namespace

void FakeTextDevice::SelectFont(TextFont selected) {
    font = selected;
    log.push_back(std::string("font ") + FontLetter(font));
}

void FakeTextDevice::SetTextColor(TextColor selected) {
    color = selected;
    log.push_back("color " + Hex(color));
}

TextExtent FakeTextDevice::Measure(std::string_view text) {
    ++measurements;
    return MeasureFixed(font, text);
}

void FakeTextDevice::Output(int32_t x, int32_t y, std::string_view text) {
    log.push_back(std::string("out ") + FontLetter(font) + " " + Hex(color) + " " + std::to_string(x) + "," +
                  std::to_string(y) + " " + Quoted(text));
}

TextRect FakeTextDevice::CentredLineExtent(std::string_view text, TextRect rect) {
    log.push_back("calc " + Rect(rect) + " " + Quoted(text));
    const TextExtent extent = MeasureFixed(font, text);
    return {rect.left, rect.top, rect.left + extent.width, rect.top + extent.height};
}

void FakeTextDevice::DrawCentredLine(std::string_view text, TextRect rect) {
    log.push_back(std::string("ctr ") + FontLetter(font) + " " + Hex(color) + " " + Rect(rect) + " " + Quoted(text));
}

std::vector<std::string> FakeTextDevice::Drawn() const {
    std::vector<std::string> drawn;
    for (const std::string& line : log) {
        if (line.starts_with("out ") || line.starts_with("ctr ")) drawn.push_back(line);
    }
    return drawn;
}
