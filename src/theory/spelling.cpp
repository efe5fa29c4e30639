#include "theory/spelling.h"

#include <array>
#include <cstddef>

namespace orbel {

namespace {

constexpr int PitchClasses = 12;
constexpr int StepsPerOctave = 7;
constexpr std::array<char, StepsPerOctave> LetterNames{'C', 'D', 'E', 'F', 'G', 'A', 'B'};
// Per pitch class: the black keys, and the letter of each white key.
constexpr std::array<bool, PitchClasses> Black{false, true,  false, true,  false, false,
                                               true,  false, true,  false, true,  false};
constexpr std::array<int, PitchClasses> WhiteLetter{0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6};
// The E above middle C.
constexpr int BottomLineStep = treble_staff::MiddleC / PitchClasses * StepsPerOctave + 2;

int FloorDiv(int a, int b) {
    return a / b - (a % b < 0 ? 1 : 0);
}

std::size_t ClassOf(int pitch) {
    return static_cast<std::size_t>(pitch - FloorDiv(pitch, PitchClasses) * PitchClasses);
}

} // namespace

bool IsBlackKey(int pitch) {
    return Black[ClassOf(pitch)];
}

char SpelledPitch::letterName() const {
    return LetterNames[static_cast<std::size_t>(letter)];
}

int SpelledPitch::step() const {
    return octave * StepsPerOctave + letter;
}

SpelledPitch Spell(int pitch, bool flatKey) {
    SpelledPitch s;
    if (IsBlackKey(pitch)) s.alter = flatKey ? -1 : 1;
    const int natural = pitch - s.alter;
    s.letter = WhiteLetter[ClassOf(natural)];
    s.octave = FloorDiv(natural, PitchClasses);
    return s;
}

double SpacesAboveBottomLine(const SpelledPitch& pitch) {
    return (pitch.step() - BottomLineStep) / 2.0;
}

std::optional<int> BarAccidentals::toWrite(const SpelledPitch& pitch) {
    const auto known = inForce_.find(pitch.step());
    const int before = known == inForce_.end() ? 0 : known->second;
    if (before == pitch.alter) return std::nullopt;
    inForce_[pitch.step()] = pitch.alter;
    return pitch.alter;
}

} // namespace orbel
