#pragma once
// Plays a short C major scale through an open output so that the user hears where the sound goes. The
// notes follow one another on a timer, so the window stays usable while they sound.

#include "sound/midi_output.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <chrono>
#include <memory>

namespace orbel {

namespace test_scale {
static constexpr int Channel = 0;
static constexpr int Piano = 0; // General MIDI program 1, counted from 0 on the wire
static constexpr int Velocity = 100;
static constexpr std::array<int, 8> Notes{60, 62, 64, 65, 67, 69, 71, 72};
static constexpr std::chrono::milliseconds NoteLength{150};
// Time for the last note to die away before the output is closed.
static constexpr std::chrono::milliseconds Release{600};
} // namespace test_scale

class ScalePlayer : public QObject {
    Q_OBJECT

public:
    explicit ScalePlayer(QObject* parent = nullptr);
    ~ScalePlayer() override;
    ScalePlayer(const ScalePlayer&) = delete;
    ScalePlayer& operator=(const ScalePlayer&) = delete;

    // Plays the scale through output, which must be open; a scale still sounding is stopped first.
    void play(std::unique_ptr<MidiOutput> output);
    // Silences and closes the output; nothing happens when no scale is playing.
    void stop();
    bool playing() const { return output_ != nullptr; }

signals:
    // The scale has ended and its output is closed.
    void finished();

private:
    void step();

    std::unique_ptr<MidiOutput> output_;
    QTimer timer_;
    std::size_t next_ = 0; // the note that sounds next; Notes.size() while the last one dies away
};

} // namespace orbel
