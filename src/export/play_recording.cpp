#include "export/play_recording.h"

#include "app/program_state.h"
#include "app/prompter.h"
#include "sound/deadline_clock.h"
#include "sound/midi1.h"
#include "sound/play_sled.h"
#include "sound/play_timing.h"
#include "theory/accompaniment.h"
#include "theory/prepare_build.h"
#include "theory/vocabulary.h"

#include <chrono>
#include <memory>
#include <optional>
#include <utility>

namespace orbel::exporter {

namespace {

std::int64_t Micros(DeadlineClock::TimePoint at) {
    return std::chrono::duration_cast<std::chrono::microseconds>(at.time_since_epoch()).count();
}

// Keeps what the player would have shown in a message box; a question is answered no.
class NoticePrompter final : public Prompter {
public:
    explicit NoticePrompter(QStringList& notices) : notices_(notices) {}
    void message(const QString& text, PromptIcon /*icon*/) override { notices_ << text; }
    bool askYesNo(const QString& text) override {
        notices_ << text;
        return false;
    }

private:
    QStringList& notices_;
};

// What the window would have heard: the study built for every pass, the message of an item that cannot be
// built, and where each play-through starts and ends. Ends the performance once the requested
// play-throughs are done.
class RecordingEvents final : public PlayerEvents, public PlayerViews {
public:
    RecordingEvents(ProgramState& state, Midi1& midi, const RecordingOutput& recorder,
                    const ManualClock& clock, int repeats, std::string firstTitle, Performance& performance)
        : state_(state), midi_(midi), recorder_(recorder), clock_(clock), repeats_(repeats),
          firstTitle_(std::move(firstTitle)), performance_(performance) {}

    // Stopped once the requested play-throughs are done.
    PlaySled* player = nullptr;

    // Called by every play-through before its first tick.
    void CircleLayout() override {
        if (++started_ > repeats_) {
            // The stop is seen at the first wait, after the first tick has been sent: so the recording
            // ends here, and the next repetition leaves nothing in it.
            if (player != nullptr) player->requestStop();
            midi_.MidiClose();
            return;
        }
        const PlayMoment now = moment();
        performance_.playThroughEdges.push_back(now);
        performance_.playThroughTempi.push_back(state_.settings.Tempo);
        if (started_ == 1) performance_.playStart = now.micros;
        if (passTitle_) {
            performance_.passes.push_back({now, std::move(*passTitle_)});
            passTitle_.reset();
        }
    }

    // Called by every play-through after its last all-notes-off.
    void HidePlayCursor() override {
        if (!midi_.isOpen()) return;
        const PlayMoment now = moment();
        performance_.playThroughEdges.push_back(now);
        performance_.end = now.micros;
    }

    void tellUser(const QString& text) override { performance_.notices << text; }

    // The player's rebuild before the first pass and for every new root.
    void studyChanged(const StudyChange& /*change*/) override {
        const Settings& s = state_.settings;
        if (firstTitle_) {
            passTitle_ = std::move(firstTitle_);
            firstTitle_.reset();
            performance_.beatsPerBar = state_.sequence.BeatsPerBar;
        } else {
            const StudySession session(state_);
            passTitle_ = session.texts(session.currentItem(), s.RootKey).TitleText;
        }
    }

private:
    PlayMoment moment() const { return {Micros(clock_.peek()), recorder_.records().size()}; }

    ProgramState& state_;
    Midi1& midi_;
    const RecordingOutput& recorder_;
    const ManualClock& clock_;
    int repeats_;
    int started_ = 0;
    std::optional<std::string> firstTitle_;
    std::optional<std::string> passTitle_; // of the pass whose first play-through is still to start
    Performance& performance_;
};

} // namespace

Performance RecordPerformance(const ExportBuild& build, const Settings& settings,
                              const MidiOptions& options) {
    Performance performance;
    ProgramState state;
    state.settings = settings;
    state.study = build.data;
    state.sequence = build.seq;
    InitIIVITables(state.iiviTables);
    int step = ProgressionStep(settings.RootProgression);
    // Without repeat the play button stops after one play-through: further repetitions stay on the root.
    if (state.settings.RepeatOn != 1) {
        state.settings.RepeatOn = 1;
        step = 0;
    }

    // Time moves only while the player waits, so the performance takes no longer than its computing.
    ManualClock clock;
    NoticePrompter prompter(performance.notices);
    auto output = std::make_unique<RecordingOutput>([&clock] { return Micros(clock.peek()); });
    const RecordingOutput& recorder = *output;
    Midi1 midi(state.settings, prompter, std::move(output), std::nullopt);
    midi.MidiOpen();
    RecordingEvents events(state, midi, recorder, clock, options.repeats, build.title, performance);
    PlaySled player(state, midi, clock, {}, SeededRandom(options.seed));
    events.player = &player;
    player.setEvents(&events);
    player.setViews(&events);
    player.setTempoRamp(options.ramp);
    player.PlayRepeated(step);

    performance.records = recorder.records();
    if (performance.playThroughEdges.empty()) performance.playStart = performance.end = Micros(clock.peek());
    return performance;
}

} // namespace orbel::exporter
