#include "ui/sound_test_runner.h"

#include "sound/instrument_tables.h"
#include "sound/midi1.h"
#include "theory/settings.h"

namespace orbel {

namespace {
namespace test_notes {
static constexpr int MelodyLow = 30;
static constexpr int MelodyHigh = 42;
static constexpr int MelodyMs = 500;
static constexpr std::array<int, 3> Chord{24, 28, 31};
static constexpr int ChordMs = 3000;
static constexpr std::array<int, 3> Bass{12, 16, 19};
static constexpr int BassMs = 300;
} // namespace test_notes
} // namespace

SoundTestRunner::SoundTestRunner(Midi1& midi, const Settings& settings, QObject* parent)
    : QObject(parent), midi_(midi), settings_(settings) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SoundTestRunner::next);
}

SoundTestRunner::~SoundTestRunner() {
    end();
}

void SoundTestRunner::end() {
    timer_.stop();
    steps_.clear();
    if (channel_) midi_.MidiAllNotesOff(*channel_);
    channel_.reset();
}

void SoundTestRunner::run(SoundTestPart part) {
    end();
    const Settings& s = settings_;
    auto program = [this](int channel, std::optional<int> number) {
        return [this, channel, number] {
            if (number) midi_.MidiProgram(channel, *number);
        };
    };
    auto note = [this](int channel, int pitch, int velocity) {
        return [this, channel, pitch, velocity] { midi_.MidiNoteOn(channel, pitch, velocity); };
    };
    auto allOff = [this](int channel) { return [this, channel] { midi_.MidiAllNotesOff(channel); }; };

    switch (part) {
    case SoundTestPart::Melody: {
        constexpr int ch = midi_channels::Melody;
        channel_ = ch;
        steps_ = {{program(ch, MelodyProgramAt(s.MelodyProgram - 1)), 0},
                  {note(ch, test_notes::MelodyLow, s.MelodyVolume), test_notes::MelodyMs},
                  {allOff(ch), 0},
                  {note(ch, test_notes::MelodyHigh, s.MelodyVolume), test_notes::MelodyMs},
                  {allOff(ch), 0}};
        break;
    }
    case SoundTestPart::Chord: {
        constexpr int ch = midi_channels::Chord;
        channel_ = ch;
        steps_ = {{program(ch, ChordProgramAt(s.ChordProgram - 1)), 0}};
        for (int pitch : test_notes::Chord)
            steps_.push_back({note(ch, pitch, s.ChordVolume), 0});
        steps_.back().waitMs = test_notes::ChordMs;
        steps_.push_back({allOff(ch), 0});
        break;
    }
    case SoundTestPart::Bass: {
        constexpr int ch = midi_channels::Bass;
        channel_ = ch;
        steps_ = {{program(ch, BassProgramFor(s.BassSound)), 0}};
        for (int pitch : test_notes::Bass)
            steps_.push_back({note(ch, pitch, s.BassVolume), test_notes::BassMs});
        steps_.push_back({allOff(ch), 0});
        break;
    }
    case SoundTestPart::Click:
        midi_.MidiClick();
        return;
    }
    next();
}

void SoundTestRunner::next() {
    // Everything up to the next wait goes at once; the rest follows when the timer fires.
    while (!steps_.empty()) {
        Step step = std::move(steps_.front());
        steps_.pop_front();
        step.send();
        if (step.waitMs > 0) {
            timer_.start(step.waitMs);
            return;
        }
    }
    channel_.reset();
}

} // namespace orbel
