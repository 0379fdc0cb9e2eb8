#include "render/mini_rtf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_messages.h"
#include "fake_text_device.h"
#include "rc_strings.h"
#include "render/page_text.h"

namespace {

using ::testing::StartsWith;

// 100 wide, 60 high: 20 normal characters to a line, 6 normal lines to a page.
constexpr TextRect kBox{10, 20, 110, 80};

struct Rendered {
    int32_t pages;
    std::vector<std::string> log;
    std::vector<ShownMessage> boxes;
};

Rendered Render(std::string_view text, int32_t page = 1, bool measureOnly = false, TextRect box = kBox) {
    FakeTextDevice device;
    FakeMessages messages;
    const int32_t pages = RenderMiniRtf(device, box, text, page, measureOnly, messages);
    return {pages, device.log, messages.shown};
}

std::string Repeat(char c, size_t count) { return std::string(count, c); }

struct LayoutCase {
    const char* name;
    std::string text;
    int32_t page;
    std::vector<std::string> log;
    int32_t pages;
};

const std::vector<LayoutCase>& LayoutCases() {
    static const std::string a19 = Repeat('a', 19);
    static const std::vector<LayoutCase> cases = {
        {"LeadingTextIgnored", "ab}cd {reset}x", 1, {"color 000000", "font N", "out N 000000 10,20 'x'"}, 1},
        {"KeywordsAreCaseSensitive", "{Bold}ab", 1, {"out E 123456 10,20 'ab'"}, 1},
        {"KeywordIsASubstring", "{xboldx}ab", 1, {"font B", "out B 123456 10,20 'ab'"}, 1},
        {"RepeatedKeywordActsOnce", "{bold,bold}ab", 1, {"font B", "out B 123456 10,20 'ab'"}, 1},
        {"ResetWinsOverTitle",
         "{reset,title}ab",
         1,
         {"font T", "color 000000", "font N", "out N 000000 10,20 'ab'"},
         1},
        {"ResetWinsOverColor",
         "{color255,0,0,reset}ab",
         1,
         {"color 0000ff", "color 000000", "font N", "out N 000000 10,20 'ab'"},
         1},
        {"WelcomeOpening",
         "{center,title,post_linefeed}Welcome!{reset}Hi there",
         1,
         {"font T", "calc 10,20,110,36 'Welcome!'", "ctr T 123456 10,20,110,36 'Welcome!'", "color 000000", "font N",
          "out N 000000 10,52 'Hi '", "out N 000000 25,52 'there'"},
         1},
        {"CentringPersistsUntilReset",
         "{center}AA{bold}BB{reset}c",
         1,
         {"calc 10,20,110,29 'AA'", "ctr E 123456 10,20,110,29 'AA'", "font B", "calc 10,29,110,41 'BB'",
          "ctr B 123456 10,29,110,41 'BB'", "color 000000", "font N", "out N 000000 10,41 'c'"},
         1},
        {"CentredAfterFlowingTextStartsAtThePen",
         "{reset}ab {center}C",
         1,
         {"color 000000", "font N", "out N 000000 10,20 'ab '", "calc 25,20,110,30 'C'",
          "ctr N 000000 25,20,110,30 'C'"},
         1},
        {"OverWideCentredStaysOneLine",
         "{center,smallfont}" + Repeat('w', 30) + "{reset}z",
         1,
         {"font N", "calc 10,20,110,30 '" + Repeat('w', 30) + "'",
          "ctr N 123456 10,20,110,30 '" + Repeat('w', 30) + "'", "color 000000", "font N", "out N 000000 10,30 'z'"},
         1},
        {"OverWideWordLeavesAnEmptyLine",
         "{reset}" + Repeat('w', 25) + "{}b",
         1,
         {"color 000000", "font N", "out N 000000 10,30 '" + Repeat('w', 25) + "'", "out N 000000 10,40 'b'"},
         1},
        {"SecondBlankIsAWordThatWraps",
         "{reset}" + a19 + "  b",
         1,
         {"color 000000", "font N", "out N 000000 10,20 '" + a19 + " '", "out N 000000 10,30 ' '",
          "out N 000000 15,30 'b'"},
         1},
        {"LineBreakUsesTheBreakingWordsHeight",
         "{reset}" + a19 + " {bold}bbb",
         1,
         {"color 000000", "font N", "out N 000000 10,20 '" + a19 + " '", "font B", "out B 000000 10,32 'bbb'"},
         1},
        {"PreLinefeedKeepsTheColumn",
         "{reset}ab{pre_linefeed}cd",
         1,
         {"color 000000", "font N", "out N 000000 10,20 'ab'", "out N 000000 20,30 'cd'"},
         1},
        {"PostLinefeedKeepsTheColumn",
         "{reset,post_linefeed}ab{}cd",
         1,
         {"color 000000", "font N", "out N 000000 10,20 'ab'", "out N 000000 20,30 'cd'"},
         1},
        {"PreLinefeedFirstUsesTheEntryFont", "{pre_linefeed}ab", 1, {"out E 123456 10,29 'ab'"}, 1},
        {"CarriageAloneReturnsWithoutLineFeed",
         "{reset}ab{carriage}cd{carriage,pre_linefeed}ef",
         1,
         {"color 000000", "font N", "out N 000000 10,20 'ab'", "out N 000000 10,20 'cd'", "out N 000000 10,30 'ef'"},
         1},
        {"LineFeedAfterEmptySegmentUsesTheLastMeasurement",
         "{reset}ab{title,post_linefeed}{}cd",
         1,
         {"color 000000", "font N", "out N 000000 10,20 'ab'", "font T", "out T 000000 20,30 'cd'"},
         1},
        {"CentredLineOpeningAPageIsFollowedBelowIt",
         "{center,smallfont}1{}2{}3{}4{}5{}6{}7{reset}w",
         2,
         {"font N", "calc 10,20,110,30 '7'", "ctr N 123456 10,20,110,30 '7'", "color 000000", "font N",
          "out N 000000 10,30 'w'"},
         2},
        {"FlowingWordOpeningAPage",
         "{reset}1{carriage,pre_linefeed}2{carriage,pre_linefeed}3{carriage,pre_linefeed}4"
         "{carriage,pre_linefeed}5{carriage,pre_linefeed}6{carriage,pre_linefeed}7 8",
         2,
         {"color 000000", "font N", "out N 000000 10,20 '7 '", "out N 000000 20,20 '8'"},
         2},
        {"PageBeyondTheLastDrawsNothing",
         "{center,title,post_linefeed}Welcome!{reset}Hi there",
         2,
         {"font T", "color 000000", "font N"},
         1},
        {"TextEndsAtItsZeroByte",
         std::string("{reset}ab\0{bold}cd", 18),
         1,
         {"color 000000", "font N", "out N 000000 10,20 'ab'"},
         1},
        {"BodyIsCutAfter254Characters", "{" + Repeat('x', 254) + "bold}ab", 1, {"out E 123456 10,20 'ab'"}, 1},
        {"KeywordWithinTheBodyLimit", "{" + Repeat('x', 250) + "bold}ab", 1, {"font B", "out B 123456 10,20 'ab'"}, 1},
    };
    return cases;
}

void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.name; }

class MiniRtfLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(MiniRtfLayout, DrawsAsLaidOut) {
    const LayoutCase& c = GetParam();
    const Rendered rendered = Render(c.text, c.page);
    EXPECT_EQ(rendered.log, c.log);
    EXPECT_EQ(rendered.pages, c.pages);
    EXPECT_TRUE(rendered.boxes.empty());
}

TEST_P(MiniRtfLayout, MeasureOnlyDrawsNothingAndCountsTheSamePages) {
    const LayoutCase& c = GetParam();
    FakeTextDevice device;
    FakeMessages messages;
    EXPECT_EQ(RenderMiniRtf(device, kBox, c.text, c.page, true, messages), c.pages);
    EXPECT_TRUE(device.Drawn().empty());
    for (const std::string& line : device.log) EXPECT_FALSE(line.starts_with("calc")) << line;
}

INSTANTIATE_TEST_SUITE_P(Cases, MiniRtfLayout, testing::ValuesIn(LayoutCases()),
                         [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

TEST(MiniRtf, ColorArgument) {
    const struct {
        const char* body;
        const char* color;
    } cases[] = {
        {"color0,128,255", "color ff8000"},
        {"color1,,2,,,3", "color 030201"},
        {"color,,256,257,258", "color 020100"},
        {"color999999999999,0,0", "color 0000ff"},
        {"bold,color9,8,7x,6", "color 070809"},
        {"color1,2,3,4", "color 030201"},
        {"color12", "color 00000c"},
        {"color", "color 000000"},
        {"color 255,0,0", "color 000000"},
        {"color1,2,00000000000000003", "color 000201"},  // the argument ends after 18 characters
    };
    for (const auto& c : cases) {
        const Rendered rendered = Render(std::string("{") + c.body + "}x");
        std::vector<std::string> colors;
        for (const std::string& line : rendered.log) {
            if (line.starts_with("color")) colors.push_back(line);
        }
        EXPECT_EQ(colors, std::vector<std::string>{c.color}) << c.body;
    }
}

TEST(MiniRtf, MalformedTextIsReportedAndEndsTheLayout) {
    const struct {
        std::string text;
        int32_t page;
        std::vector<std::string> drawn;
        int32_t pages;
    } cases[] = {
        {"", 1, {}, 1},
        {"no directive at all", 1, {}, 1},
        {"{reset}ab{bold", 1, {"out N 000000 10,20 'ab'"}, 1},
        {"{center,smallfont}1{}2{}3{}4{}5{}6{}7{unclosed", 2, {"ctr N 123456 10,20,110,30 '7'"}, 2},
    };
    for (const auto& c : cases) {
        FakeTextDevice device;
        FakeMessages messages;
        EXPECT_EQ(RenderMiniRtf(device, kBox, c.text, c.page, false, messages), c.pages) << c.text;
        EXPECT_EQ(device.Drawn(), c.drawn) << c.text;
        for (const std::string& line : device.log) EXPECT_NE(line, "font B") << c.text;
        ASSERT_EQ(messages.shown.size(), 1u) << c.text;
        EXPECT_EQ(messages.shown[0].text, "Error: Malformed mini-RTF directive");
        EXPECT_EQ(messages.shown[0].caption, "MiniRTF Error");
        EXPECT_EQ(messages.shown[0].style, MessageStyle::Ok);
    }
}

TEST(MiniRtf, OverlongWordsAndSegmentsAreCut) {
    constexpr TextRect kHugeBox{0, 0, 1'000'000, 1'000'000};
    FakeTextDevice device;
    FakeMessages messages;
    RenderMiniRtf(device, kHugeBox, "{reset}" + Repeat('a', 300) + " b", 1, false, messages);
    EXPECT_EQ(device.Drawn(),
              (std::vector<std::string>{"out N 000000 0,0 '" + Repeat('a', 254) + "'", "out N 000000 1270,0 'b'"}));

    std::string segment;
    while (segment.size() < 2000) segment += "ab ";
    FakeTextDevice longSegment;
    RenderMiniRtf(longSegment, kHugeBox, "{reset}" + segment + "{bold}z", 1, false, messages);
    const std::vector<std::string> drawn = longSegment.Drawn();
    size_t characters = 0;
    for (const std::string& line : drawn) {
        if (line.starts_with("out N")) characters += line.size() - line.find('\'') - 2;
    }
    EXPECT_EQ(characters, kMiniRtfMaxSegment);
    EXPECT_THAT(drawn.back(), StartsWith("out B "));  // the next directive is still found
    EXPECT_TRUE(messages.shown.empty());
}

// Every word lands on one page in both passes: drawing the pages one after another gives the words
// of the whole text once each, in order, and every pass counts the same pages.
TEST(MiniRtf, PagesPartitionTheText) {
    RcStrings strings;
    std::vector<std::string> texts = {
        "{center,title,post_linefeed}A long title line{reset}" + std::string(300, 'x') + " and some words " +
            "{center}centred{reset,bold}bold words that wrap around the narrow box{carriage,pre_linefeed}end",
    };
    for (int32_t tab = 0; tab < 4; ++tab) {
        for (const bool installed : {false, true}) {
            for (const int32_t printers : {0, 2}) {
                for (const bool privilege : {false, true}) {
                    char text[kPageTextSize];
                    ComposePageText(strings, {tab, installed, printers, privilege, "C:\\Program Files\\KOVA"}, text);
                    texts.emplace_back(text);
                }
            }
        }
    }
    constexpr TextRect kNarrowBox{5, 7, 125, 67};
    constexpr TextRect kHugeBox{0, 0, 1'000'000, 1'000'000};
    for (const std::string& text : texts) {
        std::vector<std::string> all;
        for (const std::string& line : Render(text, 1, false, kHugeBox).log) {
            if (line.starts_with("out") || line.starts_with("ctr")) all.push_back(line.substr(line.find('\'')));
        }
        const int32_t pages = Render(text, 1, true, kNarrowBox).pages;
        std::vector<std::string> paged;
        for (int32_t page = 1; page <= pages + 1; ++page) {
            const Rendered rendered = Render(text, page, false, kNarrowBox);
            EXPECT_EQ(rendered.pages, pages) << text;
            size_t drawnOnPage = 0;
            for (const std::string& line : rendered.log) {
                if (!line.starts_with("out") && !line.starts_with("ctr")) continue;
                paged.push_back(line.substr(line.find('\'')));
                ++drawnOnPage;
            }
            EXPECT_EQ(drawnOnPage == 0, page > pages) << "page " << page << " of " << text;
        }
        EXPECT_EQ(paged, all) << text;
    }
}

}  // namespace
