// The player's actions, their stops and their deadline waits.
// Thread: the player's thread.
#include "sound/play_sled.h"

#include "app/program_state.h"
#include "sound/live_settings.h"
#include "sound/midi1.h"
#include "sound/play_texts.h"
#include "sound/play_timing.h"
#include "theory/numbers.h"
#include "theory/prepare_build.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace orbel {

namespace {

constexpr int BeatsPerHalfNote = 2;
constexpr int SixteenthsPerBeat = 4;

} // namespace

PlaySled::PlaySled(StudyState& study, Midi1& midi, DeadlineClock& clock, std::function<void()> yield,
                   Accompaniment::RandomSource random)
    : study_(study), session_(study), midi_(midi), yield_(std::move(yield)), timer_(clock, yield_),
      timeline_(*this, yield_, std::move(random)), through_(*this), loop_(*this) {
    timer_.setStop(stop_.get_token());
}

void PlaySled::setEvents(PlayerEvents* events) {
    events_ = events;
}

bool PlaySled::stopRequested() const {
    return stop_.stop_requested();
}

void PlaySled::beginAction(std::stop_source stop) {
    stop_ = std::move(stop);
    timer_.setStop(stop_.get_token());
    begun_ = true;
}

std::int16_t PlaySled::HiDelay(int ms) {
    if (ms <= 0) {
        // A new chain: the sound must be running by its first deadline.
        MidiPort& port = midi_.port();
        port.wake();
        timer_.setTuning(TuningForOutput(port.outputDelay()));
    }
    return timer_.HiDelay(ms);
}

std::int16_t PlaySled::waitFor(int ms, int beatMs) {
    timer_.setCatchUpLimit(std::chrono::milliseconds(std::max(beatMs, 1)));
    const std::int16_t result = timer_.HiDelay(ms);
    // Nothing handed over before the stop may sound after it.
    if (result == hidelay::Stopped) midi_.port().cancelScheduled();
    return result;
}

void PlaySled::beforeSending() {
    if (live_ != nullptr) live_->refresh(study_.settings);
    midi_.setDueTime(timer_.mark());
}

void PlaySled::yieldOnce() {
    if (yield_) yield_();
}

// --- Around the play-throughs

bool PlaySled::CountIn() {
    beforeSending();
    if (study_.settings.CountInOn != 1) return true;
    // A stop that came while the chain was started (the output waking) keeps even the first click silent.
    if (stopRequested()) return false;
    const int beat = BeatMs(study_.settings.Tempo);
    for (int i = 0; i < count_in::HalfNotes; ++i) {
        beforeSending();
        midi_.MidiCountInClick();
        if (waitFor(BeatsPerHalfNote * beat, BeatsPerHalfNote * beat) == hidelay::Stopped) return false;
    }
    for (int i = 0; i < count_in::QuarterNotes; ++i) {
        beforeSending();
        midi_.MidiCountInClick();
        if (waitFor(beat, beat) == hidelay::Stopped) return false;
    }
    return true;
}

void PlaySled::PauseBetweenRepeats() {
    // A repeated scale of an odd number of eighths gets a short breath before it starts again.
    const bool oddScale =
        study_.settings.StudyType == study_type::Scale && continuous_ && study_.sequence.SeqCount % 2 != 0;
    if (!oddScale) return;
    const int beat = BeatMs(study_.settings.Tempo);
    waitFor(RoundHalfEven(static_cast<double>(beat) / SixteenthsPerBeat), beat);
}

void PlaySled::ShowRepeatLabel(int number, int count) {
    events().ShowRepeatLabel(RepeatLabelText(number, count, loop_.repeating() ? 1 : 0), PlayTempo);
}

// --- The play actions

void PlaySled::RunPlayAction(const std::function<void()>& action) {
    if (!begun_) beginAction(std::stop_source{});
    begun_ = false;
    try {
        action();
    } catch (const std::exception&) {
        events().tellUser(play_texts::UnexpectedError);
        settleAfterFault();
    }
}

void PlaySled::settleAfterFault() {
    // The fault may have come from the window itself: whatever it does again, the action ends here.
    try {
        continuous_ = false;
        through_.allNotesOff();
        PlayerViews& view = views();
        view.HidePlayCursor();
        view.CircleEndPlay();
        view.EndPlayKeyboard();
        events().setQuitAndReferenceEnabled(true);
        events().MakeSound_Bot_show(false);
    } catch (const std::exception&) {
        continuous_ = false;
    }
}

void PlaySled::ReturnToIdle() {
    continuous_ = false;
    events().MakeSound_Bot_show(false);
}

void PlaySled::PlayOnce() {
    RunPlayAction([this] { playOnce(); });
}

void PlaySled::playOnce() {
    beforeSending();
    continuous_ = false;
    events().setQuitAndReferenceEnabled(false);
    PlayTempo = study_.settings.Tempo;
    PrepareTimeline(rebuild_mode::Variant0);
    HiDelay(hidelay::Restart);
    // A stop pressed while the accompaniment was built is not forgotten by the play-through.
    if (!stopRequested()) PlaySound(0);
    views().redrawViews();
    events().setQuitAndReferenceEnabled(true);
}

void PlaySled::Metronome() {
    RunPlayAction([this] { metronome(); });
}

void PlaySled::metronome() {
    events().MakeSound_Bot_show(true);
    continuous_ = false;
    HiDelay(hidelay::Restart);
    if (CountIn()) {
        // The tempo is read for every beat, so a change acts on the next one.
        int beat = 0;
        do {
            beforeSending();
            beat = BeatMs(study_.settings.Tempo);
            midi_.MidiClick();
        } while (waitFor(beat, beat) != hidelay::Stopped);
    }
    events().MakeSound_Bot_show(false);
}

void PlaySled::requestStop() {
    continuous_ = false;
    stop_.request_stop();
}

void PlaySled::Stop() {
    requestStop();
    events().MakeSound_Bot_show(false);
    events().hideRepeatLabel();
    views().DrawKeys();
}

} // namespace orbel
