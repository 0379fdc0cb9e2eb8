// RenderMiniRtf over arbitrary bytes: it must not crash or read outside the text, every pass must
// count at least one page, and the draw and measure passes must agree on the page count and draw
// only inside the box's height.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "fake_text_device.h"
#include "render/mini_rtf.h"

namespace {

constexpr TextRect kBox{3, 5, 163, 85};

// Fixed metrics (those of the unit tests' fake); checks that every text it is handed lies within
// the input and every drawn word fits the box's height.
class CheckingDevice final : public TextDevice {
public:
    explicit CheckingDevice(std::string_view input) : input_(input) {}
    void SelectFont(TextFont selected) override { font_ = selected; }
    void SetTextColor(TextColor) override {}
    TextExtent Measure(std::string_view text) override {
        if (text != "X") CheckWithinInput(text);
        return MeasureFixed(font_, text);
    }
    void Output(int32_t, int32_t y, std::string_view text) override {
        CheckWithinInput(text);
        if (y < kBox.top || y + MetricsOf(font_).height > kBox.bottom) std::abort();
        ++drawn;
    }
    TextRect CentredLineExtent(std::string_view text, TextRect rect) override {
        CheckWithinInput(text);
        return rect;
    }
    void DrawCentredLine(std::string_view text, TextRect rect) override {
        CheckWithinInput(text);
        if (rect.top < kBox.top || rect.bottom > kBox.bottom) std::abort();
        ++drawn;
    }
    int drawn = 0;

private:
    void CheckWithinInput(std::string_view text) const {
        if (text.empty()) return;
        if (text.data() < input_.data() || text.data() + text.size() > input_.data() + input_.size()) std::abort();
        if (text.find('\0') != std::string_view::npos || text.find('{') != std::string_view::npos) std::abort();
    }
    std::string_view input_;
    std::optional<TextFont> font_;
};

class QuietMessages final : public Messages {
public:
    int Show(const char*, const char*, uint32_t) override {
        ++shown;
        return kAnswerOk;
    }
    int shown = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    QuietMessages messages;
    CheckingDevice measuring(text);
    const int32_t pages = RenderMiniRtf(measuring, kBox, text, 1, true, messages);
    if (pages < 1 || measuring.drawn != 0) std::abort();
    if (messages.shown > 1) std::abort();
    for (const int32_t page : {1, pages, pages + 1}) {
        CheckingDevice drawing(text);
        if (RenderMiniRtf(drawing, kBox, text, page, false, messages) != pages) std::abort();
        if (page > pages && drawing.drawn != 0) std::abort();
    }
    return 0;
}
