// The study controller without a window: a screen that records what it is told, the factory files and a
// recording MIDI output.

#include "app/program_state.h"
#include "sound/midi1.h"
#include "sound/player_events.h"
#include "sound/recording_output.h"
#include "support/recording_prompter.h"
#include "theory/prepare_build.h"
#include "ui/study_controller.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace orbel {
namespace {

struct RecordingScreen final : StudyScreen {
    void showRowsFor(int studyType) override { rowsFor = studyType; }
    void listItems(const QStringList& entries) override {
        items = entries;
        marked = -1;
    }
    int shownItem() const override { return marked; }
    int itemCount() const override { return static_cast<int>(items.size()); }
    void markItem(int index) override { marked = index < items.size() ? index : -1; }
    void showFavourite(bool on) override { favourite = on; }
    void showKeyboardOptions(bool) override {}
    void drawScore() override { ++draws; }

    int rowsFor = -1;
    QStringList items;
    int marked = -1;
    bool favourite = false;
    int draws = 0;
};

class StudyControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"scale.txt", "code.txt", "ptn.txt", "ric.txt"})
            QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/") + QLatin1String(name),
                        folder.filePath(QLatin1String(name)));
        state.programFolder = folder.path();
        InitIIVITables(state.iiviTables);
    }

    QTemporaryDir folder;
    ProgramState state;
    testing::RecordingPrompter prompter;
    Midi1 midi{state.settings, prompter, std::make_unique<RecordingOutput>(), std::nullopt};
    RecordingScreen screen;
    StudyController study{state, prompter, midi, screen};
};

TEST_F(StudyControllerTest, EachStudyTypeListsItsItemsAndBuildsTheFirst) {
    for (int type : {study_type::Scale, study_type::Chord, study_type::IIVIPattern, study_type::IIVIPhrase}) {
        SCOPED_TRACE(type);
        state.settings.StudyItem[static_cast<std::size_t>(type)] = 3;
        const int draws = screen.draws;
        study.studyTypeChosen(type);
        EXPECT_EQ(state.settings.StudyType, type);
        EXPECT_EQ(screen.rowsFor, type);
        EXPECT_FALSE(screen.items.isEmpty());
        EXPECT_EQ(screen.marked, 0);
        EXPECT_EQ(state.settings.StudyItem[static_cast<std::size_t>(type)], 0);
        EXPECT_GT(state.sequence.SeqCount, 0);
        EXPECT_GT(screen.draws, draws);
    }
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join('|').toStdString();
}

// The player moved on to another item and root: the list marks the item and the views show the sequence
// the player built, which is not built again here.
TEST_F(StudyControllerTest, AChangeFromThePlayerIsShownAsBuilt) {
    study.studyTypeChosen(study_type::IIVIPhrase);
    auto built = std::make_shared<PlaySequence>(state.sequence);
    built->SeqChord[0] = "marker";
    state.study.phrases.PhraseFavourite[2] = 1;
    const int draws = screen.draws;
    study.showChange({.RootKey = 7, .OctaveShift = 1, .item = 2, .sequence = built});
    EXPECT_EQ(screen.marked, 2);
    EXPECT_EQ(state.settings.StudyItem[study_type::IIVIPhrase], 2);
    EXPECT_EQ(state.settings.RootKey, 7);
    EXPECT_EQ(state.sequence.OctaveShift, 1);
    EXPECT_EQ(state.sequence.SeqChord[0], "marker");
    EXPECT_TRUE(screen.favourite);
    EXPECT_EQ(screen.draws, draws + 1);
}

} // namespace
} // namespace orbel
