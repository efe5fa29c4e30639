#include "theory/tempo_ramp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orbel {
namespace {

TEST(TempoRamp, RisesEveryFewRepetitionsThenHoldsOrStartsAgain) {
    struct Case {
        std::string name;
        TempoRamp ramp;
        int start;
        std::vector<int> tempi; // after 0, 1, 2, … repetitions
    };
    const std::vector<Case> cases = {
        {"step 5 every 2 up to 135", {5, 2, 135, false}, 120, {120, 120, 125, 125, 130, 130, 135, 135, 135}},
        {"a last step cut to the ceiling", {10, 1, 125, false}, 100, {100, 110, 120, 125, 125}},
        {"starting again", {5, 1, 110, true}, 100, {100, 105, 110, 100, 105, 110, 100}},
        {"a start above the ceiling stays", {5, 1, 100, true}, 140, {140, 140, 140}},
        {"a step of 0 read as 1", {0, 1, 300, false}, 100, {100, 101, 102}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::size_t n = 0; n < c.tempi.size(); ++n)
            EXPECT_EQ(RampTempo(c.ramp, c.start, static_cast<int>(n)), c.tempi[n]) << "after " << n;
    }
}

} // namespace
} // namespace orbel
