#include "theory/performance_score.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace orbel {
namespace {

// Two repetitions of a four-note line at 120 (a beat of 500 ms), each 2 s long.
std::vector<MelodyRepetition> TwoRepetitions() {
    std::vector<MelodyRepetition> melody;
    for (int r = 0; r < 2; ++r) {
        MelodyRepetition repetition;
        repetition.startMs = 2000.0 * r;
        repetition.endMs = repetition.startMs + 2000.0;
        repetition.tempo = 120;
        for (int n = 0; n < 4; ++n)
            repetition.notes.push_back({60 + 2 * n, repetition.startMs + 500.0 * n});
        melody.push_back(repetition);
    }
    return melody;
}

std::vector<NoteOnset> Played(const std::vector<MelodyRepetition>& melody,
                              const std::function<void(std::vector<NoteOnset>&, const NoteOnset&)>& play) {
    std::vector<NoteOnset> played;
    for (const MelodyRepetition& repetition : melody)
        for (const NoteOnset& note : repetition.notes)
            play(played, note);
    return played;
}

struct Case {
    std::string name;
    std::function<void(std::vector<NoteOnset>&, const NoteOnset&)> play;
    bool anyOctave = false;
    // Of each repetition.
    int right, wrong, missed, extra;
    double meanOffsetMs;
};

TEST(PerformanceScore, ConstructedPerformancesScoreAsAMusicianCountsThem) {
    const std::vector<Case> cases = {
        {"the melody itself", [](auto& p, const NoteOnset& n) { p.push_back(n); }, false, 4, 0, 0, 0, 0.0},
        {"every note 30 ms late",
         [](auto& p, const NoteOnset& n) {
             p.push_back({n.key, n.ms + 30});
         },
         false, 4, 0, 0, 0, 30.0},
        {"every note 20 ms early",
         [](auto& p, const NoteOnset& n) {
             p.push_back({n.key, n.ms - 20});
         },
         false, 4, 0, 0, 0, -20.0},
        {"an octave up",
         [](auto& p, const NoteOnset& n) {
             p.push_back({n.key + 12, n.ms});
         },
         false, 0, 4, 0, 0, 0.0},
        {"an octave up, any octave",
         [](auto& p, const NoteOnset& n) {
             p.push_back({n.key + 12, n.ms});
         },
         true, 4, 0, 0, 0, 0.0},
        {"a semitone off, any octave",
         [](auto& p, const NoteOnset& n) {
             p.push_back({n.key + 13, n.ms});
         },
         true, 0, 4, 0, 0, 0.0},
        {"the second note dropped",
         [](auto& p, const NoteOnset& n) {
             if (n.key != 62) p.push_back(n);
         },
         false, 3, 0, 1, 0, 0.0},
        {"every note doubled",
         [](auto& p, const NoteOnset& n) {
             p.push_back(n);
             p.push_back({n.key, n.ms + 5});
         },
         false, 4, 0, 0, 4, 0.0}, // the nearer of each pair is the right one
        {"one wrong note",
         [](auto& p, const NoteOnset& n) {
             p.push_back({n.key == 64 ? 65 : n.key, n.ms + 10});
         },
         false, 3, 1, 0, 0, 10.0},
        {"every note outside the window",
         [](auto& p, const NoteOnset& n) {
             p.push_back({n.key, n.ms + 100});
         },
         false, 0, 0, 4, 4, 0.0},
        {"the first note early, before the repetition began",
         [](auto& p, const NoteOnset& n) {
             p.push_back({n.key, n.key == 60 ? n.ms - 40 : n.ms});
         },
         false, 4, 0, 0, 0, -10.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto melody = TwoRepetitions();
        ScoreOptions options;
        options.anyOctave = c.anyOctave;
        const auto scores = ScorePerformance(melody, Played(melody, c.play), options);
        ASSERT_EQ(scores.size(), 2U);
        for (const RepetitionScore& s : scores) {
            EXPECT_EQ(s.total, 4);
            EXPECT_EQ(s.right, c.right);
            EXPECT_EQ(s.wrong, c.wrong);
            EXPECT_EQ(s.missed, c.missed);
            EXPECT_EQ(s.extra, c.extra);
            EXPECT_NEAR(s.meanOffsetMs, c.meanOffsetMs, 1e-9);
        }
    }
}

TEST(PerformanceScore, NotesOutsideEveryRepetitionAreExtraOfTheNearestOne) {
    const auto melody = TwoRepetitions();
    std::vector<NoteOnset> played = Played(melody, [](auto& p, const NoteOnset& n) { p.push_back(n); });
    played.push_back({50, -900.0}); // in the count-in
    played.push_back({50, 1990.0}); // just before the second repetition: its early first note would be here
    played.push_back({50, 4030.0}); // after the end, within the window
    played.push_back({50, 9000.0}); // long after: nobody's
    const auto scores = ScorePerformance(melody, played, {});
    ASSERT_EQ(scores.size(), 2U);
    EXPECT_EQ(scores[0].extra, 1);
    EXPECT_EQ(scores[1].extra, 2);
}

TEST(PerformanceScore, ARepetitionIsScoredOnlyOnceItsWindowHasPassed) {
    ScoreKeeper keeper;
    keeper.beginRepetition(0.0, 200);
    keeper.expect(60, 0.0);
    keeper.expect(62, 300.0);
    keeper.play(60, 5.0);
    EXPECT_FALSE(keeper.scoreNext(1000.0)); // not ended
    keeper.endRepetition(600.0);
    keeper.beginRepetition(600.0, 205);
    EXPECT_FALSE(keeper.scoreNext(650.0));
    keeper.play(62, 340.0); // arrives late from the input's thread, still in order of onset
    const auto score = keeper.scoreNext(660.0);
    ASSERT_TRUE(score);
    EXPECT_EQ(score->right, 2);
    EXPECT_EQ(score->tempo, 200);
    EXPECT_NEAR(score->meanOffsetMs, 22.5, 1e-9);
    EXPECT_FALSE(keeper.scoreNext(10000.0)); // the second has not ended
}

} // namespace
} // namespace orbel
