#pragma once
// The test buttons of the sound settings dialog: a few notes of one part with the instrument and volume
// chosen now. The notes are timed by the window's timers, so the dialog and the main window stay usable
// while a test sounds, and a performance goes on beside it.

#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>

namespace orbel {

class Midi1;
struct Settings;

enum class SoundTestPart { Melody, Chord, Bass, Click };

class SoundTestRunner final : public QObject {
    Q_OBJECT

public:
    // midi and settings must outlive the runner.
    SoundTestRunner(Midi1& midi, const Settings& settings, QObject* parent = nullptr);
    // A test still sounding is ended: its notes are switched off.
    ~SoundTestRunner() override;

    // Starts the test of one part; one still sounding is ended first.
    void run(SoundTestPart part);
    bool running() const { return !steps_.empty(); }

private:
    struct Step {
        std::function<void()> send;
        int waitMs = 0; // after send
    };
    void next();
    void end();

    Midi1& midi_;
    const Settings& settings_;
    std::deque<Step> steps_;
    std::optional<int> channel_;
    QTimer timer_;
};

} // namespace orbel
