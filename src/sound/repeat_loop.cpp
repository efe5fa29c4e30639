// The play button's repetitions and root progression.
// Thread: the player's thread.
#include "sound/repeat_loop.h"

#include "app/program_state.h"
#include "sound/live_settings.h"
#include "sound/midi1.h"
#include "sound/play_sled.h"
#include "sound/practice_listener.h"
#include "theory/prepare_build.h"

#include <algorithm>

namespace orbel {

bool RepeatLoop::repeating() const {
    return repeats_ == Repeats::AsSet && sled_.study().settings.RepeatOn == 1;
}

void RepeatLoop::run(int step, Repeats repeats) {
    repeats_ = repeats;
    sled_.RunPlayAction([this, step] { playRepeated(step); });
    repeats_ = Repeats::AsSet;
    // Told after anything the loop drew, so that the mark cannot come back after it.
    sled_.events().hideRepeatLabel();
}

void RepeatLoop::playRepeated(int step) {
    if (const LiveSettings* live = sled_.liveSettings()) live->forgetRootRequest();
    sled_.beforeSending();
    Settings& s = sled_.study().settings;
    sled_.setContinuousPlay(true);
    sled_.PlayTempo = s.Tempo;
    sled_.events().MakeSound_Bot_show(true);
    rampCourse_ = {s.Tempo, 0, s.Tempo};
    if (PracticeListener* practice = sled_.practiceListener()) practice->performanceBegins();

    sled_.midi().setDueTime(std::nullopt);
    sled_.midi().SendProgramChanges();
    sled_.ShowRepeatLabel(1, s.RepeatCount);
    sled_.RebuildForPlay(rebuild_mode::BothVariants);
    // A stop pressed while the accompaniment was built has already put the controls back to idle.
    if (sled_.stopRequested()) return;
    sled_.HiDelay(hidelay::Restart);
    if (!sled_.CountIn()) {
        sled_.ReturnToIdle();
        return;
    }

    int counter = 0;
    bool firstPass = true;
    int savedRoot = s.RootKey;
    for (;;) {
        sled_.beforeSending();
        sled_.PlayTempo = s.Tempo;
        if (!firstPass && s.RootKey != savedRoot) {
            sled_.RebuildForPlay(rebuild_mode::BothVariants);
            if (sled_.stopRequested()) return;
        }
        // Silent passes would never wait, and so never see the stop.
        if (sled_.timeline().TimelineLength <= 0) {
            sled_.ReturnToIdle();
            return;
        }
        // At least one repetition per pass, or the root would race on without a wait.
        const int repeats = std::max<int>(s.RepeatCount, 1);
        for (int k = 1; k <= repeats; ++k) {
            sled_.ShowRepeatLabel(k, repeats);
            sled_.PlaySound(counter % 2);
            if (sled_.stopRequested()) {
                sled_.events().MakeSound_Bot_show(false);
                return;
            }
            rampAfterRepetition();
            if (!repeating()) {
                sled_.ReturnToIdle();
                return;
            }
            if (s.StudyType < study_type::IIVIPhrase) sled_.PauseBetweenRepeats();
            if (++counter > play_limits::CounterWrap) counter = 0;
        }

        // A root chosen on the views during the pass is where the progression goes on from.
        if (const LiveSettings* live = sled_.liveSettings()) {
            if (const std::optional<int> chosen = live->takeRootRequest())
                s.RootKey = static_cast<std::int16_t>(*chosen);
        }
        // The root moves on; leaving the octave upwards or downwards carries into the octave shift.
        savedRoot = s.RootKey;
        sled_.session().moveRoot(step);
        firstPass = false;
    }
}

void RepeatLoop::rampAfterRepetition() {
    if (!ramp_) return;
    Settings& s = sled_.study().settings;
    // A tempo the user chose meanwhile is where the ramp goes on from.
    if (s.Tempo != rampCourse_.lastTempo) rampCourse_ = {s.Tempo, 0, s.Tempo};
    ++rampCourse_.done;
    const int tempo = RampTempo(*ramp_, rampCourse_.startTempo, rampCourse_.done);
    rampCourse_.lastTempo = tempo;
    if (tempo == s.Tempo) return;
    s.Tempo = static_cast<std::int16_t>(tempo);
    sled_.PlayTempo = s.Tempo;
    if (const LiveSettings* live = sled_.liveSettings()) live->rampTempo(tempo);
    sled_.events().tempoRamped(tempo);
}

} // namespace orbel
