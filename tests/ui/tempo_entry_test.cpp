// Reading the tempo typed into the tempo box.
#include "ui/tempo_entry.h"

#include <gtest/gtest.h>

namespace orbel {
namespace {

static constexpr int Playing = 132;

struct TypedCase {
    const char* text; // UTF-8, as typed
    int expected;
};

class TypedTempoTest : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedTempoTest, ClampsANumberAndIgnoresAnythingElse) {
    EXPECT_EQ(TypedTempo(QString::fromUtf8(GetParam().text), Playing), GetParam().expected)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypedTempoTest,
    ::testing::Values(TypedCase{"120", 120}, TypedCase{"50", 50}, TypedCase{"300", 300},
                      // Out of the bar's range: to its nearer end.
                      TypedCase{"0", 50}, TypedCase{"49", 50}, TypedCase{"301", 300}, TypedCase{"99999", 300},
                      TypedCase{"-5", 50}, TypedCase{"123456789012345678901234567890", 300},
                      // Blanks around the number, full-width digits and blank.
                      TypedCase{" 96 ", 96}, TypedCase{"\t200", 200}, TypedCase{"１８０", 180},
                      TypedCase{"　１２０　", 120}, TypedCase{"1２0", 120}, TypedCase{"＋９０", 90},
                      // No number: the tempo playing stays.
                      TypedCase{"", Playing}, TypedCase{"   ", Playing}, TypedCase{"abc", Playing},
                      TypedCase{"12a", Playing}, TypedCase{"1 20", Playing}, TypedCase{"-", Playing},
                      TypedCase{"12.5", Playing}, TypedCase{"テンポ", Playing}));

} // namespace
} // namespace orbel
