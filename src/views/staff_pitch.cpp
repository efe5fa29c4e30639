#include "views/staff_pitch.h"

#include <algorithm>

namespace orbel {

namespace {

constexpr int OctaveLow = 24;
constexpr int PitchesPerOctave = 12;
constexpr double OctaveSpaces = 3.5;
constexpr int StepsPerOctave = 7;

// The octave from pitch 24: height in line spacings above the bottom line, and the accidental.
constexpr std::array<double, 12> FlatHeights{-1, -0.5, -0.5, 0, 0, 0.5, 1, 1, 1.5, 1.5, 2, 2};
constexpr std::array<double, 12> SharpHeights{-1, -1, -0.5, -0.5, 0, 0.5, 0.5, 1, 1, 1.5, 1.5, 2};
constexpr std::array<bool, 12> Black{false, true,  false, true,  false, false,
                                     true,  false, true,  false, true,  false};

} // namespace

StaffPitchTables BuildPitchTables(bool flatKey) {
    StaffPitchTables t;
    const int a = flatKey ? 16 : 15;
    const std::array<int, 12> steps{15, a, 16, a + 1, 17, 18, a + 3, 19, a + 4, 20, a + 5, 21};
    for (int k = 0; k < PitchesPerOctave; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const double height = flatKey ? FlatHeights[i] : SharpHeights[i];
        const std::string sign = Black[i] ? (flatKey ? "b" : "#") : "";
        for (int octave = -2; octave <= 3; ++octave) {
            const int p = OctaveLow + k + octave * PitchesPerOctave;
            if (p < staff_pitch::FirstFilled || p > staff_pitch::LastFilled) continue;
            const auto at = static_cast<std::size_t>(p);
            t.spacesAboveBase[at] = height + octave * OctaveSpaces;
            t.accidental[at] = sign;
            t.step[at] = steps[i] + octave * StepsPerOctave;
        }
    }
    return t;
}

std::string BarAccidentals::toDraw(const StaffPitchTables& tables, int p) {
    if (p < 0 || p >= staff_pitch::Pitches) return {};
    const std::string& want = tables.accidental[static_cast<std::size_t>(p)];
    const int step = tables.step[static_cast<std::size_t>(p)];
    if (step < 0 || step >= staff_pitch::Pitches) return want;
    std::string& had = bar_[static_cast<std::size_t>(step)];
    if (!had.empty() && had == want) return {};
    if (!had.empty() && want.empty()) {
        had.clear();
        return "N";
    }
    if (had.empty() && !want.empty()) {
        had = want;
        return want;
    }
    return want;
}

} // namespace orbel
