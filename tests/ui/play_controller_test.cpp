// The play controller without a window or a player: what each press has the screen show at once, before
// the player says anything.

#include "app/program_state.h"
#include "sound/midi1.h"
#include "sound/recording_output.h"
#include "support/recording_prompter.h"
#include "ui/play_controller.h"
#include "ui/study_controller.h"

#include <QObject>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace orbel {
namespace {

struct RecordingPlayScreen final : PlayScreen {
    void showPlaying(bool isPlaying) override { playing = isPlaying; }
    void enableQuitAndReference(bool enabled) override { quitEnabled = enabled; }
    void showRepeatLabel(const QString&, int) override { labelShown = true; }
    void hideRepeatLabel() override { labelShown = false; }
    void showTempo(int) override {}
    void clearPlayedKeys() override { keysCleared = true; }

    std::optional<bool> playing;
    std::optional<bool> quitEnabled;
    bool labelShown = true;
    bool keysCleared = false;
};

struct NoStudyScreen final : StudyScreen {
    void showRowsFor(int) override {}
    void listItems(const QStringList&) override {}
    int shownItem() const override { return -1; }
    int itemCount() const override { return 0; }
    void markItem(int) override {}
    void showFavourite(bool) override {}
    void showKeyboardOptions(bool) override {}
    void drawScore() override {}
};

TEST(PlayControllerTest, APressSetsTheControlsAtOnce) {
    const struct {
        const char* press;
        std::function<void(PlayController&)> act;
        std::optional<bool> playing, quitEnabled;
        bool labelShown, keysCleared;
    } cases[] = {
        // Nothing can start a second play before the player answers.
        {"play", &PlayController::play, true, std::nullopt, true, false},
        {"metronome", &PlayController::metronome, true, std::nullopt, true, false},
        // A single play holds only quit and the reference tone.
        {"play once", &PlayController::playOnce, std::nullopt, false, true, false},
        {"stop", &PlayController::stop, false, std::nullopt, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.press);
        ProgramState state;
        testing::RecordingPrompter prompter;
        Midi1 midi{state.settings, prompter, std::make_unique<RecordingOutput>(), std::nullopt};
        NoStudyScreen studyScreen;
        StudyController study{state, prompter, midi, studyScreen};
        RecordingPlayScreen screen;
        QObject context;
        PlayController play{state, prompter, study, screen, context};
        c.act(play);
        EXPECT_EQ(screen.playing, c.playing);
        EXPECT_EQ(screen.quitEnabled, c.quitEnabled);
        EXPECT_EQ(screen.labelShown, c.labelShown);
        EXPECT_EQ(screen.keysCleared, c.keysCleared);
    }
}

} // namespace
} // namespace orbel
