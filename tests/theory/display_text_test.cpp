// The line as the program shows it: cut at display_limits::LineChars characters, never inside one.
#include "theory/display_text.h"

#include <gtest/gtest.h>
#include <string>

namespace orbel {
namespace {

struct LineCase {
    const char* name;
    const char* lead; // before the repeated character
    const char* unit; // one character, repeated
    int count;        // how often
    int keptCount;    // how often it is shown
    bool cut;         // shown with the ellipsis
};

std::string Repeated(const char* unit, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += unit;
    return text;
}

class DisplayLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(DisplayLineTest, ShowsWholeCharactersUpToTheLimit) {
    const LineCase& c = GetParam();
    const std::string expected =
        c.lead + Repeated(c.unit, c.keptCount) + (c.cut ? std::string(display_limits::Ellipsis) : "");
    EXPECT_EQ(DisplayLine(c.lead + Repeated(c.unit, c.count)), expected);
}

INSTANTIATE_TEST_SUITE_P(Lines, DisplayLineTest,
                         ::testing::Values(LineCase{"Empty", "", "a", 0, 0, false},
                                           LineCase{"Ascii255", "", "a", 255, 255, false},
                                           LineCase{"Ascii256", "", "a", 256, 256, false},
                                           LineCase{"Ascii257", "", "a", 257, 255, true},
                                           LineCase{"Megabyte", "", "a", 1 << 20, 255, true},
                                           // Three bytes each in UTF-8.
                                           LineCase{"Kana256", "", "ア", 256, 256, false},
                                           LineCase{"Kana257", "", "ア", 257, 255, true},
                                           // Four bytes each in UTF-8 and a surrogate pair in UTF-16.
                                           LineCase{"Astral256", "", "𝄞", 256, 256, false},
                                           LineCase{"Astral257", "", "𝄞", 257, 255, true},
                                           // Characters are counted, not bytes or UTF-16 units.
                                           LineCase{"MixedWidths257", "a", "𝄞", 256, 254, true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace orbel
