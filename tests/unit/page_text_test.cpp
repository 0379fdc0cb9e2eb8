#include "render/page_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fake_messages.h"
#include "fake_text_device.h"
#include "rc_strings.h"
#include "render/mini_rtf.h"
#include "resources/resource_ids.h"

namespace {

using ::testing::EndsWith;

std::string Compose(Strings& strings, const PageTextInputs& inputs, bool* known = nullptr) {
    char text[kPageTextSize];
    std::memset(text, '#', sizeof text);
    const bool composed = ComposePageText(strings, inputs, text);
    if (known) *known = composed;
    return text;
}

TEST(PageText, EachTabShowsItsText) {
    RcStrings strings;
    const std::string installedTo = "{reset}KOVA has been installed to C:\\Tools\\KOVA";
    const struct {
        PageTextInputs inputs;
        std::string text;
    } cases[] = {
        {{0, false, 1, true, ""}, strings.Text(IDS_WELCOME_TEXT)},
        {{0, true, 1, true, ""}, strings.Text(IDS_WELCOME_BACK_TEXT)},
        {{2, false, 0, false, ""}, strings.Text(IDS_DEFAULTS_TEXT)},
        {{2, true, 1, true, ""}, strings.Text(IDS_DEFAULTS_TEXT)},
        {{3, false, 1, true, "C:\\Tools\\KOVA"}, strings.Text(IDS_INSTALLATION_TEXT)},
        {{3, true, 1, true, "C:\\Tools\\KOVA"}, installedTo},
    };
    for (const auto& c : cases) {
        bool known = false;
        EXPECT_EQ(Compose(strings, c.inputs, &known), c.text) << c.inputs.tab << " " << c.inputs.installed;
        EXPECT_TRUE(known);
    }
    for (const int32_t tab : {-1, 4, 1000}) {
        bool known = true;
        EXPECT_EQ(Compose(strings, {tab, true, 1, true, "C:\\KOVA"}, &known), "");
        EXPECT_FALSE(known);
    }
}

// The Requirements text laid out in a box wide enough for every line: line number (from the top)
// to the words on it.
std::map<int32_t, std::string> RequirementsLines(int32_t printers, bool privilege) {
    RcStrings strings;
    const std::string text = Compose(strings, {1, false, printers, privilege, ""});
    FakeTextDevice device;
    FakeMessages messages;
    RenderMiniRtf(device, {0, 0, 100000, 1000}, text, 1, false, messages);
    EXPECT_TRUE(messages.shown.empty());
    std::map<int32_t, std::string> lines;
    for (const std::string& line : device.Drawn()) {
        // "out N 000000 x,y 'word'"
        const size_t comma = line.find(',');
        const int32_t y = std::stoi(line.substr(comma + 1));
        const size_t quote = line.find('\'');
        lines[y / kNormalFontMetrics.height] += line.substr(quote + 1, line.size() - quote - 2);
    }
    return lines;
}

TEST(PageText, RequirementsSayWhatIsMissing) {
    RcStrings strings;
    const std::string noPrinter = strings.Text(IDS_NO_PRINTER);
    const std::string noPrivilege = strings.Text(IDS_NO_PRIVILEGE);
    const struct {
        int32_t printers;
        bool privilege;
        const char* count;
        const char* answer;
        std::map<int32_t, std::string> reasons;  // line number to text, after the two requirement lines
    } cases[] = {
        {0, true, "(I found 0)", "(Yes)", {{5, noPrinter}}},    // two empty lines, then string 13
        {3, false, "(I found 3)", "(No)", {{6, noPrivilege}}},  // three empty lines, then string 22
        {1, true, "(I found 1)", "(Yes)", {}},                  // nothing follows
        {0, false, "(I found 0)", "(No)", {{5, noPrinter}, {6, noPrivilege}}},
    };
    for (const auto& c : cases) {
        std::map<int32_t, std::string> lines = RequirementsLines(c.printers, c.privilege);
        ASSERT_GE(lines.size(), 3u);
        EXPECT_THAT(lines[1], EndsWith(c.count));
        EXPECT_THAT(lines[2], EndsWith(c.answer));
        lines.erase(0);
        lines.erase(1);
        lines.erase(2);
        EXPECT_EQ(lines, c.reasons) << c.printers << " " << c.privilege;
    }
}

TEST(PageText, LongTextsAreCutToTheirBuffers) {
    const std::string longText(2000, '~');
    const struct {
        int id;
        PageTextInputs inputs;
        size_t shown;  // characters of the overridden string that appear
    } cases[] = {
        {IDS_DEFAULTS_TEXT, {2, false, 1, true, ""}, 1023},   {IDS_REQUIREMENTS_TEXT, {1, false, 1, true, ""}, 1023},
        {IDS_NO_PRINTER, {1, false, 0, true, ""}, 253},       {IDS_NO_PRIVILEGE, {1, false, 1, false, ""}, 253},
        {IDS_INSTALLED_TO_TEXT, {3, true, 1, true, ""}, 259},
    };
    for (const auto& c : cases) {
        RcStrings strings;
        strings.Override(c.id, longText);
        const std::string text = Compose(strings, c.inputs);
        EXPECT_EQ(std::count(text.begin(), text.end(), '~'), static_cast<long>(c.shown)) << c.id;
        EXPECT_LE(text.size(), kPageTextSize - 1);
    }
}

TEST(PageText, StoredDirectoryIsShownUpTo259Characters) {
    RcStrings strings;
    const std::string unterminated(300, 'd');  // a damaged record: no terminator in the field
    EXPECT_EQ(Compose(strings, {3, true, 1, true, unterminated}),
              "{reset}KOVA has been installed to " + std::string(259, 'd'));
    EXPECT_EQ(Compose(strings, {3, true, 1, true, std::string_view("C:\\KOVA\0junk", 12)}),
              "{reset}KOVA has been installed to C:\\KOVA");
}

constexpr TextRect kBox{10, 20, 110, 80};

TEST(PageText, DrawsTheRequestedPageAndCountsThePages) {
    const std::string twoPages =
        "{reset}1{carriage,pre_linefeed}2{carriage,pre_linefeed}3{carriage,pre_linefeed}4"
        "{carriage,pre_linefeed}5{carriage,pre_linefeed}6{carriage,pre_linefeed}7";
    FakeTextDevice device;
    FakeMessages messages;
    ReportedTexts reported;
    EXPECT_EQ(RenderPageText(device, messages, reported, kBox, twoPages, 2), 2);
    EXPECT_EQ(device.Drawn(), std::vector<std::string>{"out N 000000 10,20 '7'"});
    EXPECT_TRUE(messages.shown.empty());
}

// The box runs its own message loop, in which the page is painted again.
class RepaintingMessages final : public Messages {
public:
    int Show(const char* text, const char* caption, uint32_t style) override {
        inner.Show(text, caption, style);
        if (repaint) repaint();
        return kAnswerOk;
    }
    FakeMessages inner;
    std::function<void()> repaint;
};

TEST(PageText, MalformedTextIsReportedOncePerText) {
    FakeTextDevice device;
    RepaintingMessages messages;
    ReportedTexts reported;
    const std::string first = "{reset}first{bold";
    const std::string second = "{reset}second{bold";
    const auto paint = [&](const std::string& text) {
        return RenderPageText(device, messages, reported, kBox, text, 1);
    };
    messages.repaint = [&] { paint(first); };
    EXPECT_EQ(paint(first), 1);
    messages.repaint = nullptr;
    paint(first);
    paint(first);
    ASSERT_EQ(messages.inner.shown.size(), 1u);
    EXPECT_EQ(messages.inner.shown[0].caption, "MiniRTF Error");

    paint(second);
    paint("{reset}fine");
    paint(second);
    paint(first);
    EXPECT_EQ(messages.inner.shown.size(), 2u);
}

}  // namespace
