#include "text_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

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
