// Spelling pitches for the staff: black keys, letters and accidentals in a key, the step on the treble staff
// and the accidentals a bar remembers.
#include "theory/spelling.h"

#include "theory/note_names.h"

#include <gtest/gtest.h>
#include <optional>

namespace orbel {
namespace {

TEST(Spelling, TheBlackKeysAreTheSameInEveryOctave) {
    const struct {
        int pitch;
        bool black;
    } cases[] = {{0, false}, {1, true},   {2, false}, {3, true},   {4, false},  {5, false}, {6, true},
                 {7, false}, {8, true},   {9, false}, {10, true},  {11, false}, {25, true}, {71, false},
                 {61, true}, {-1, false}, {-2, true}, {-11, true}, {-12, false}};
    for (const auto& c : cases)
        EXPECT_EQ(IsBlackKey(c.pitch), c.black) << c.pitch;
}

TEST(Spelling, APitchIsSpelledWithTheKeysSharpsOrFlats) {
    const struct {
        int pitch;
        int root, majorSpelling; // the key, for KeyUsesFlats
        char letter;
        int alter, octave, step;
    } cases[] = {
        {25, 1, 1, 'D', -1, 2, 15}, // D♭ major
        {25, 1, 0, 'C', 1, 2, 14},  // C♯ minor
        {25, 6, 1, 'C', 1, 2, 14},  // F♯ major
        {25, 0, 1, 'D', -1, 2, 15}, // C major writes flats
        {24, 0, 1, 'C', 0, 2, 14},   {35, 7, 1, 'B', 0, 2, 20},  {36, 7, 1, 'C', 0, 3, 21},
        {34, 5, 1, 'B', -1, 2, 20},  {34, 7, 1, 'A', 1, 2, 19},  {0, 0, 1, 'C', 0, 0, 0},
        {60, 2, 1, 'C', 0, 5, 35},   {66, 8, 1, 'G', -1, 5, 39}, {-1, 0, 1, 'B', 0, -1, -1},
        {-2, 0, 1, 'B', -1, -1, -1}, {-2, 2, 1, 'A', 1, -1, -2},
    };
    for (const auto& c : cases) {
        const SpelledPitch p = Spell(c.pitch, KeyUsesFlats(c.root, c.majorSpelling));
        SCOPED_TRACE(testing::Message()
                     << "pitch " << c.pitch << " root " << c.root << " " << c.majorSpelling);
        EXPECT_EQ(p.letterName(), c.letter);
        EXPECT_EQ(p.alter, c.alter);
        EXPECT_EQ(p.octave, c.octave);
        EXPECT_EQ(p.step(), c.step);
    }
}

TEST(Spelling, AHeadSitsHalfASpacingAStepFromTheBottomLine) {
    const struct {
        int pitch;
        bool flatKey;
        double spaces;
    } cases[] = {{28, false, 0},    {24, true, -1},    {25, true, -0.5}, {25, false, -1},
                 {36, true, 2.5},   {0, true, -8},     {9, false, -5.5}, {27, true, 0},
                 {27, false, -0.5}, {71, false, 12.5}, {42, false, 4},   {60, false, 9.5}};
    for (const auto& c : cases)
        EXPECT_EQ(SpacesAboveBottomLine(Spell(c.pitch, c.flatKey)), c.spaces) << c.pitch << " " << c.flatKey;
}

TEST(Spelling, AccidentalsAreRememberedWithinTheBar) {
    // Pitches played in sharp keys, and what is written before each (nothing: the bar has it already).
    const struct {
        int pitch;
        bool barLine; // the bar starts again before this note
        std::optional<int> written;
    } notes[] = {
        {25, false, 1}, {25, false, std::nullopt}, {24, false, 0}, {24, false, std::nullopt}, {37, false, 1},
        {25, false, 1}, {24, true, std::nullopt},  {25, false, 1}, {28, false, std::nullopt},
    };
    BarAccidentals bar;
    for (const auto& n : notes) {
        if (n.barLine) bar.reset();
        EXPECT_EQ(bar.toWrite(Spell(n.pitch, false)), n.written) << n.pitch;
    }
}

} // namespace
} // namespace orbel
