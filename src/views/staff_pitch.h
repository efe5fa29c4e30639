#pragma once
// Where a pitch sits on the staff and with which accidental it is written in the current key, and the
// accidentals remembered within a bar.

#include <array>
#include <string>

namespace orbel {

namespace staff_pitch {
static constexpr int Pitches = 101; // pitch numbers 0..100; only 0..71 are on the staff
static constexpr int FirstFilled = 0;
static constexpr int LastFilled = 71;
} // namespace staff_pitch

// Per pitch: the head's height above the staff's bottom line in line spacings, the accidental it is written
// with ("#", "b" or empty), and its diatonic step (1 for pitch 0, one more per letter name).
struct StaffPitchTables {
    std::array<double, staff_pitch::Pitches> spacesAboveBase{};
    std::array<std::string, staff_pitch::Pitches> accidental{};
    std::array<int, staff_pitch::Pitches> step{};
};
StaffPitchTables BuildPitchTables(bool flatKey);

// The accidentals in force on each staff step since the last bar line.
class BarAccidentals {
public:
    // The sign to draw before pitch p ("#", "b", "N" for a natural, or empty), remembering it for the bar.
    std::string toDraw(const StaffPitchTables& tables, int p);
    void reset() { bar_.fill({}); }

private:
    std::array<std::string, staff_pitch::Pitches> bar_{};
};

} // namespace orbel
