// Numbers read from text, and rounding halves to even.
#include "theory/numbers.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace orbel {
namespace {

TEST(LeadingNumberTest, ReadsTheNumberAtTheStart) {
    const std::pair<const char*, double> cases[] = {
        {"12", 12.0}, {"  12", 12.0}, {"\t7x", 7.0},   {"-3.5", -3.5},    {"+4", 4.0},  {".5", 0.5},
        {"5.", 5.0},  {"1.2.3", 1.2}, {"12 34", 12.0}, {"120bpm", 120.0}, {"007", 7.0}, {"1e3", 1.0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << '"' << text << '"';
}

TEST(LeadingNumberTest, TextWithoutANumberGivesZero) {
    for (const char* text : {"", "   ", "abc", "-", "+", ".", "- 5", "x12", "T4"}) {
        EXPECT_EQ(LeadingNumber(text), 0.0) << '"' << text << '"';
    }
}

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
    const std::pair<double, int> cases[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},       {4.5, 4},    {144.0, 144},
                                            {-0.5, 0},  {-1.5, -2}, {-2.5, -2},     {2.4999, 2}, {2.5001, 3},
                                            {-2.6, -3}, {7.0, 7},   {1.5 * 96, 144}};
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

TEST(RoundHalfEvenTest, OutOfRangeSaturatesAndNaNIsZero) {
    constexpr int highest = std::numeric_limits<int>::max();
    constexpr int lowest = std::numeric_limits<int>::min();
    EXPECT_EQ(RoundHalfEven(1e20), highest);
    EXPECT_EQ(RoundHalfEven(-1e20), lowest);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()), highest);
    EXPECT_EQ(RoundHalfEven(-std::numeric_limits<double>::infinity()), lowest);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
}

TEST(LeadingWholeNumberTest, RoundsWhatItReads) {
    EXPECT_EQ(LeadingWholeNumber(" 2.5 "), 2);
    EXPECT_EQ(LeadingWholeNumber("3.5"), 4);
    EXPECT_EQ(LeadingWholeNumber("120"), 120);
    EXPECT_EQ(LeadingWholeNumber("-0.5"), 0);
    EXPECT_EQ(LeadingWholeNumber("none"), 0);
    EXPECT_EQ(LeadingWholeNumber("99999999999999999999"), std::numeric_limits<int>::max());
}

} // namespace
} // namespace orbel
