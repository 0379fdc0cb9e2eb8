#include "render/mini_rtf.h"

#include <algorithm>
#include <array>

#include "text/text_slice.h"

namespace {

constexpr const char* kMalformedText = "Error: Malformed mini-RTF directive";
constexpr const char* kMalformedCaption = "MiniRTF Error";
constexpr std::string_view kColorKeyword = "color";

// Pen positions are kept wider than the device's 32-bit units so that a long run of line feeds
// cannot overflow; only positions on the drawn page, which lie near the box, reach the device.
struct Layout {
    TextDevice& device;
    TextRect box;
    int32_t requestedPage;
    bool measureOnly;
    int64_t x;
    int64_t y;
    int32_t page = 1;
    bool centring = false;
    int32_t lastHeight = 0;  // height of the most recently measured text: the previous line's height

    bool Drawing() const { return !measureOnly && page == requestedPage; }
    void StartPage() {
        ++page;
        x = box.left;
        y = box.top;
    }
    TextExtent Measure(std::string_view text) {
        const TextExtent extent = device.Measure(text);
        lastHeight = extent.height;
        return extent;
    }
};

struct LineFeeds {
    bool before = false;
    bool after = false;
};

bool Contains(std::string_view body, std::string_view keyword) { return body.find(keyword) != std::string_view::npos; }

TextColor ColorArgument(std::string_view afterKeyword) {
    const size_t end = std::min(afterKeyword.find_first_not_of("0123456789,"), kMiniRtfMaxColorArgument);
    std::array<uint32_t, 3> components{};
    size_t index = 0;
    bool inNumber = false;
    for (const char c : Slice(afterKeyword, 0, end)) {
        if (c == ',') {
            if (inNumber) ++index;
            inNumber = false;
            if (index == components.size()) break;
            continue;
        }
        components[index] = (components[index] * 10 + static_cast<uint32_t>(c - '0')) & 0xFF;
        inNumber = true;
    }
    return MakeTextColor(static_cast<uint8_t>(components[0]), static_cast<uint8_t>(components[1]),
                         static_cast<uint8_t>(components[2]));
}

// Every keyword found in the body acts once, in this fixed order, however often and wherever it is
// written: so "reset" overrides centring, fonts and colour of the same directive.
LineFeeds ApplyDirective(Layout& layout, std::string_view body) {
    LineFeeds feeds;
    if (Contains(body, "center")) layout.centring = true;
    if (Contains(body, "title")) layout.device.SelectFont(TextFont::Title);
    if (Contains(body, "smallfont")) layout.device.SelectFont(TextFont::Normal);
    if (Contains(body, "bold")) layout.device.SelectFont(TextFont::Bold);
    if (const size_t at = body.find(kColorKeyword); at != std::string_view::npos) {
        layout.device.SetTextColor(ColorArgument(Slice(body, at + kColorKeyword.size())));
    }
    feeds.after = Contains(body, "post_linefeed");
    feeds.before = Contains(body, "pre_linefeed");
    if (Contains(body, "reset")) {
        layout.centring = false;
        layout.device.SetTextColor(MakeTextColor(0, 0, 0));
        layout.device.SelectFont(TextFont::Normal);
    }
    if (Contains(body, "carriage")) layout.x = layout.box.left;
    return feeds;
}

// A centred segment is one line however wide: the device clips it at both sides.
void LayOutCentred(Layout& layout, std::string_view segment) {
    const int32_t height = layout.Measure(segment).height;
    if (layout.y + height > layout.box.bottom) layout.StartPage();
    const int64_t lineTop = layout.y;
    if (layout.Drawing()) {
        const TextRect line{static_cast<int32_t>(layout.x), static_cast<int32_t>(lineTop), layout.box.right,
                            static_cast<int32_t>(lineTop + height)};
        TextRect drawn = layout.device.CentredLineExtent(segment, line);
        drawn.right = layout.box.right;
        layout.device.DrawCentredLine(segment, drawn);
    }
    layout.y = lineTop + height;
    layout.x = layout.box.left;
}

// A line break advances by the height of the word that causes it, so words of different fonts on
// one line share their top edge.
void PlaceWord(Layout& layout, std::string_view word) {
    const TextExtent extent = layout.Measure(word);
    if (layout.x + extent.width > layout.box.right) {
        layout.x = layout.box.left;
        layout.y += extent.height;
    }
    if (layout.y + extent.height > layout.box.bottom) layout.StartPage();
    if (layout.Drawing()) {
        layout.device.Output(static_cast<int32_t>(layout.x), static_cast<int32_t>(layout.y), word);
    }
    layout.x += extent.width;
}

// Words end after each blank, which stays with its word; a blank after a blank is a word of its own.
void LayOutFlowing(Layout& layout, std::string_view segment) {
    size_t start = 0;
    while (start < segment.size()) {
        const size_t blank = segment.find(' ', start);
        const size_t end = blank == std::string_view::npos ? segment.size() : blank + 1;
        PlaceWord(layout, Slice(segment, start, std::min(end - start, kMiniRtfMaxWord)));
        start = end;
    }
}

}  // namespace

int32_t RenderMiniRtf(TextDevice& device, TextRect box, std::string_view text, int32_t page, bool measureOnly,
                      Messages& messages) {
    text = Slice(text, 0, text.find('\0'));
    Layout layout{device, box, page, measureOnly, box.left, box.top};
    layout.Measure("X");

    // Characters before the first directive are not part of the text.
    size_t open = text.find('{');
    if (open == std::string_view::npos) {
        messages.Show(kMalformedText, kMalformedCaption, MessageStyle::Ok);
        return layout.page;
    }
    while (open != std::string_view::npos) {
        const size_t close = text.find('}', open + 1);
        if (close == std::string_view::npos) {
            messages.Show(kMalformedText, kMalformedCaption, MessageStyle::Ok);
            break;
        }
        const std::string_view body = Slice(text, open + 1, std::min(close - open - 1, kMiniRtfMaxBody));
        const size_t next = text.find('{', close + 1);
        const size_t segmentEnd = next == std::string_view::npos ? text.size() : next;
        const std::string_view segment = Slice(text, close + 1, std::min(segmentEnd - close - 1, kMiniRtfMaxSegment));

        const LineFeeds feeds = ApplyDirective(layout, body);
        if (feeds.before) layout.y += layout.lastHeight;
        if (layout.centring) {
            LayOutCentred(layout, segment);
        } else {
            LayOutFlowing(layout, segment);
        }
        if (feeds.after) layout.y += layout.lastHeight;
        open = next;
    }
    return layout.page;
}
