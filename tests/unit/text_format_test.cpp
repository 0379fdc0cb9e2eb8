#include "text/text_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "rc_strings.h"

namespace {

// The texts of the string literals of a C++ source that hold a conversion, adjacent literals
// joined; comments, character literals and raw strings are passed over.
std::vector<std::string> FormatLiterals(const std::string& source) {
    std::vector<std::string> found;
    std::string joined;
    bool joining = false;
    auto flush = [&] {
        if (joining && joined.find('%') != std::string::npos) found.push_back(joined);
        joined.clear();
        joining = false;
    };
    for (size_t i = 0; i < source.size(); ++i) {
        const char c = source[i];
        if (source.compare(i, 2, "//") == 0) {
            i = source.find('\n', i);
            if (i == std::string::npos) break;
        } else if (source.compare(i, 2, "/*") == 0) {
            i = source.find("*/", i) + 1;
        } else if (c == 'R' && i + 1 < source.size() && source[i + 1] == '"') {
            const size_t open = source.find('(', i);
            const std::string close = ")" + source.substr(i + 2, open - i - 2) + "\"";
            i = source.find(close, open) + close.size() - 1;
            flush();
        } else if (c == '\'') {
            for (++i; source[i] != '\''; ++i) {
                if (source[i] == '\\') ++i;
            }
            flush();
        } else if (c == '"') {
            joining = true;
            for (++i; source[i] != '"'; ++i) {
                if (source[i] != '\\') {
                    joined += source[i];
                    continue;
                }
                const char escaped = source[++i];
                joined += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
            }
        } else if (c != ' ' && c != '\n' && c != '\t' && c != '\r') {
            flush();
        }
    }
    flush();
    return found;
}

// Every format text of the image: the literals of its sources and the strings of its table.
std::vector<std::string> FormatsOfTheImage() {
    std::vector<std::string> formats;
    for (const auto& file : std::filesystem::recursive_directory_iterator(KOVA_SOURCE_DIR "/setup")) {
        if (file.path().extension() != ".cpp") continue;
        std::ifstream in(file.path());
        std::ostringstream text;
        text << in.rdbuf();
        for (std::string& format : FormatLiterals(text.str())) formats.push_back(std::move(format));
    }
    const RcStrings strings;
    for (int id = 0; id < 200; ++id) {
        if (strings.Text(id).find('%') != std::string::npos) formats.push_back(strings.Text(id));
    }
    return formats;
}

enum class Argument { Text, Number, Count, LongCount };

// The arguments a format takes, in order; false when it holds a conversion this table lacks.
bool ArgumentsOf(const std::string& format, std::vector<Argument>& arguments) {
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        size_t at = i + 1;
        if (format[at] == '.') {
            for (++at; std::isdigit(static_cast<unsigned char>(format[at]));) ++at;
        }
        if (format[at] == 'l' && format[at + 1] == 'u') {
            arguments.push_back(Argument::LongCount);
            i = at + 1;
            continue;
        }
        switch (format[at]) {
            case 's':
                arguments.push_back(Argument::Text);
                break;
            case 'd':
            case 'c':
                arguments.push_back(Argument::Number);
                break;
            case 'u':
                arguments.push_back(Argument::Count);
                break;
            case '%':
                break;
            default:
                return false;
        }
        i = at;
    }
    return true;
}

constexpr const char* kLongText =
    "C:\\kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk"
    "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk"
    "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk";

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
template <typename... Values>
void CompareWithSnprintf(const std::string& format, const std::vector<Argument>& arguments, Values... values) {
    if constexpr (sizeof...(Values) < 6) {
        if (sizeof...(Values) < arguments.size()) {
            switch (arguments[sizeof...(Values)]) {
                case Argument::Text:
                    CompareWithSnprintf(format, arguments, values..., kLongText);
                    break;
                case Argument::Number:
                    CompareWithSnprintf(format, arguments, values..., -75);
                    break;
                case Argument::Count:
                    CompareWithSnprintf(format, arguments, values..., 4000000000u);
                    break;
                case Argument::LongCount:
                    // Passed among the first two arguments only, where the image has it, to keep this
                    // table of argument types small.
                    if constexpr (sizeof...(Values) < 2) {
                        CompareWithSnprintf(format, arguments, values..., 4000000000ul);
                    } else {
                        ADD_FAILURE() << "a %lu this table does not pass so late: " << format;
                    }
                    break;
            }
            return;
        }
        char ours[2048];
        char theirs[2048];
        const int ourLength = FormatText(ours, sizeof ours, format.c_str(), values...);
        const int theirLength = std::snprintf(theirs, sizeof theirs, format.c_str(), values...);
        EXPECT_EQ(std::string(ours), std::string(theirs)) << format;
        EXPECT_EQ(ourLength, theirLength) << format;
    } else {
        ADD_FAILURE() << "more arguments than this table passes: " << format;
    }
}
#pragma GCC diagnostic pop

TEST(FormatText, EveryFormatOfTheImageGivesWhatSnprintfGives) {
    const std::vector<std::string> formats = FormatsOfTheImage();
    ASSERT_GT(formats.size(), 15u);
    for (const std::string& format : formats) {
        std::vector<Argument> arguments;
        ASSERT_TRUE(ArgumentsOf(format, arguments)) << "a conversion this table does not pass: " << format;
        CompareWithSnprintf(format, arguments);
    }
}

TEST(FormatText, ConversionsTheProgramUses) {
    char out[256];
    FormatText(out, sizeof out, "KOVA %s Setup", "1.0e");
    EXPECT_STREQ(out, "KOVA 1.0e Setup");
    FormatText(out, sizeof out, "\\KOVA.exe dir=%c%%1%c", '"', '"');
    EXPECT_STREQ(out, "\\KOVA.exe dir=\"%1\"");
    FormatText(out, sizeof out, "(I found %d) %d %d %u %lu %ld", 3, 0, INT_MIN, 4000000000u, 7ul, -12l);
    EXPECT_STREQ(out, "(I found 3) 0 -2147483648 4000000000 7 -12");
    const char* unknown = "odd %x and %";  // a conversion this formatter lacks, and a lone % at the end
    FormatText(out, sizeof out, unknown, 5);
    EXPECT_STREQ(out, "odd %x and %");
}

// A record field of N bytes need not end with a zero: "%.Ns" stops after N characters.
TEST(FormatText, PrecisionReadsAtMostThatManyCharacters) {
    char out[64];
    const char field[4] = {'a', 'b', 'c', 'd'};  // no terminator
    EXPECT_EQ(FormatText(out, sizeof out, "[%.4s] %s!", field, "next"), 12);
    EXPECT_STREQ(out, "[abcd] next!");
    FormatText(out, sizeof out, "[%.2s][%.9s][%.0s]", "xyz", "short", "gone");
    EXPECT_STREQ(out, "[xy][short][]");
}

TEST(FormatText, NeverWritesPastTheBufferAndAlwaysTerminates) {
    char out[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
    EXPECT_EQ(FormatText(out, 6, "%s-%d", "abcdef", 12345), 12);
    EXPECT_STREQ(out, "abcde");
    EXPECT_EQ(out[6], '#');
    EXPECT_EQ(FormatText(out, 1, "%s", "x"), 1);
    EXPECT_STREQ(out, "");
}

}  // namespace
