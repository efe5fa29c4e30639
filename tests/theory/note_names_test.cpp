// Note names: pitch classes, spelling in the current key, key root names.
#include "theory/note_names.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace orbel {
namespace {

constexpr int Major = 1;
constexpr int Minor = 0;

struct SpellingCase {
    int pitch;
    int rootKey;
    int majorSpelling;
    const char* expected;
};

class NoteNameInKeyTest : public ::testing::TestWithParam<SpellingCase> {};

TEST_P(NoteNameInKeyTest, SpellsPitchForKey) {
    const SpellingCase& c = GetParam();
    EXPECT_EQ(NoteNameInKey(c.pitch, c.rootKey, c.majorSpelling), c.expected)
        << "pitch " << c.pitch << " root " << c.rootKey << " major " << c.majorSpelling;
}

// Flat keys: C, D♭, E♭, F, A♭, B♭ major and C, D, E♭, F, G, B♭ minor; all others are sharp keys.
INSTANTIATE_TEST_SUITE_P(SharpAndFlatKeys, NoteNameInKeyTest,
                         ::testing::Values(SpellingCase{30, 5, Major, "Gb"},  // F major
                                           SpellingCase{30, 7, Major, "F#"},  // G major
                                           SpellingCase{34, 10, Major, "Bb"}, // B♭ major
                                           SpellingCase{27, 4, Minor, "D#"},  // E minor
                                           SpellingCase{27, 0, Minor, "Eb"},  // C minor
                                           SpellingCase{30, 1, Major, "Gb"},  // D♭ major
                                           SpellingCase{34, 6, Major, "A#"},  // F♯ major
                                           SpellingCase{34, 2, Minor, "Bb"},  // D minor
                                           SpellingCase{34, 7, Minor, "Bb"},  // G minor
                                           SpellingCase{34, 2, Major, "A#"},  // D major
                                           SpellingCase{32, 9, Minor, "G#"},  // A minor
                                           SpellingCase{61, 0, Major, "Db"}));

INSTANTIATE_TEST_SUITE_P(
    PitchesOutsideOneOctave, NoteNameInKeyTest,
    ::testing::Values(SpellingCase{-5, 0, Major, "G"}, SpellingCase{-1, 0, Major, "B"}, // a C♭ chord root
                      SpellingCase{12, 0, Major, "C"},                                  // a B♯ chord root
                      SpellingCase{-24, 0, Major, "C"}, // the lowest pitch of the model
                      SpellingCase{-13, 7, Major, "B"},
                      SpellingCase{-25, 0, Major, "B"}, // below the model: folded, not lost
                      SpellingCase{-32768, 0, Major, "E"}, SpellingCase{32767, 0, Major, "G"}));

TEST(PitchClassTest, StaysInsideOneOctaveForEveryPitch) {
    for (int pitch = -200; pitch <= 200; ++pitch) {
        const int pitchClass = PitchClass(pitch);
        ASSERT_GE(pitchClass, 0) << pitch;
        ASSERT_LE(pitchClass, 11) << pitch;
        ASSERT_EQ((pitch - pitchClass) % 12, 0) << pitch;
    }
}

TEST(KeyRootNameTest, AllTwelveKeysInBothModes) {
    const std::array<const char*, 12> major{"C", "Db", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"};
    const std::array<const char*, 12> minor{"C", "C#", "D", "Eb", "E", "F", "F#", "G", "G#", "A", "Bb", "B"};
    for (int root = 0; root < 12; ++root) {
        EXPECT_EQ(KeyRootName(root, Major), major[static_cast<std::size_t>(root)]) << root;
        EXPECT_EQ(KeyRootName(root, Minor), minor[static_cast<std::size_t>(root)]) << root;
    }
}

TEST(KeyRootNameTest, FoldsRootsOutsideOneOctave) {
    EXPECT_EQ(KeyRootName(-1, Major), "B");
    EXPECT_EQ(KeyRootName(13, Major), "Db");
    EXPECT_EQ(KeyRootName(18, Minor), "F#");
}

TEST(NoteNamesTest, TableHoldsSharpFlatAndDegreeNames) {
    NoteNames names;
    InitNoteNames(names);
    EXPECT_EQ(names.At(1, NameColumn::Sharp), "C#");
    EXPECT_EQ(names.At(1, NameColumn::Flat), "Db");
    EXPECT_EQ(names.At(1, NameColumn::Degree), "b９");
    EXPECT_EQ(names.At(0, NameColumn::Degree), "Ⅰ");
    EXPECT_EQ(names.At(10, NameColumn::Degree), "bⅦ");
    EXPECT_EQ(names.At(12, NameColumn::Sharp), "C");
    EXPECT_EQ(names.At(12, NameColumn::Degree), "");
    for (int row = 0; row < note_name_limits::Rows; ++row) {
        for (const NameColumn column : {NameColumn::Sharp, NameColumn::Flat, NameColumn::Degree}) {
            EXPECT_EQ(names.At(row, column), NoteNameCell(row, column)) << row;
        }
    }
}

TEST(NoteNamesTest, RowsOutsideTheTableGiveNoName) {
    NoteNames names;
    InitNoteNames(names);
    for (const int row : {-1, 13, 1000, -32768}) {
        EXPECT_EQ(names.At(row, NameColumn::Sharp), "") << row;
        EXPECT_EQ(NoteNameCell(row, NameColumn::Degree), "") << row;
    }
}

} // namespace
} // namespace orbel
