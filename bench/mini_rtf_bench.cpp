// The measure pass of RenderMiniRtf over page-like texts of 4, 16 and 64 KiB, on a device with fixed
// metrics, so the figure is the layout's own cost. Reports the time per KiB of text.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "fake_text_device.h"
#include "render/mini_rtf.h"

namespace {

class MetricsDevice final : public TextDevice {
public:
    void SelectFont(TextFont selected) override { font_ = selected; }
    void SetTextColor(TextColor) override {}
    TextExtent Measure(std::string_view text) override { return MeasureFixed(font_, text); }
    void Output(int32_t, int32_t, std::string_view) override {}
    TextRect CentredLineExtent(std::string_view, TextRect rect) override { return rect; }
    void DrawCentredLine(std::string_view, TextRect) override {}

private:
    std::optional<TextFont> font_;
};

class NoMessages final : public Messages {
public:
    int Show(const char*, const char*, uint32_t) override { return kAnswerOk; }
};

// Page texts as the dialog shows them: a centred title, paragraphs of flowing words, line feeds and
// font changes, repeated up to the size.
std::string PageLikeText(size_t size) {
    const std::string part =
        "{center,title,post_linefeed}Welcome to KOVA Setup!{reset}KOVA is a utility that can print directories. "
        "It installs itself as an option that appears when you right-click either a folder or drive."
        "{carriage,pre_linefeed}To begin the installation process, please review any yellow or red tabs that "
        "may be present, then press the \"Install\" button.{carriage,pre_linefeed}{bold}1. A printer (I found 2)"
        "{reset,carriage,pre_linefeed}{color0,128,0}2. Sufficient privilege on the system (Yes){reset}";
    std::string text;
    while (text.size() + part.size() <= size) text += part;
    text.append(size - text.size(), 'x');
    return text;
}

void MeasurePass(benchmark::State& state) {
    const size_t kib = static_cast<size_t>(state.range(0));
    const std::string text = PageLikeText(kib * 1024);
    MetricsDevice device;
    NoMessages messages;
    constexpr TextRect kBox{0, 0, 440, 250};
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderMiniRtf(device, kBox, text, 1, true, messages));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["time_per_KiB"] = benchmark::Counter(
        static_cast<double>(kib), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(MeasurePass)->Arg(4)->Arg(16)->Arg(64);
BENCHMARK_MAIN();
