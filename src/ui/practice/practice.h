#pragma once
// Practice beyond the loop, on the window's side: the practice settings, the tempo ramp the play button is
// given, the MIDI keyboard and the check of what is played on it, and the scores of the session.

#include "app/practice_settings.h"
#include "sound/live_check.h"
#include "sound/midi_input.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <vector>

namespace orbel {

class Practice final : public QObject {
    Q_OBJECT
public:
    // folder: where practice.ini lives; input: the keyboard's side (none: no keyboard at all); now and
    // outputDelay: the player's clock and the output's delay.
    Practice(QString folder, std::unique_ptr<MidiInput> input, LiveCheck::Clock now,
             LiveCheck::Delay outputDelay, QObject* parent = nullptr);
    ~Practice() override;

    const PracticeSettings& settings() const { return settings_; }
    const QString& folder() const { return folder_; }
    // Takes new settings, saves them; false when practice.ini cannot be written.
    bool setSettings(const PracticeSettings& settings);

    // What the play button plays with, asked as it is pressed at tempo: the ramp, if on (remembering
    // where it starts), and the check, if on with a keyboard listening.
    std::optional<TempoRamp> rampFor(int tempo);
    PracticeListener* listener();
    // The controls went to playing or to idle: the scores are looked for while playing and a moment after.
    void playing(bool isPlaying);

    // The keyboard.
    QStringList inputs() const;
    QString inputStatus() const { return status_; }
    bool listening() const;
    // Opens the input the settings name, or the first there is; says how it went in inputStatus().
    void connectInput();

    // Whether the open keyboard is still there; one that went away stops the check (every second).
    void watchInput();

    const std::vector<RepetitionScore>& session() const { return session_; }
    void newSession();

signals:
    void scored(const orbel::RepetitionScore& score);
    void sessionCleared();
    void inputChanged(const QString& status);
    // A key struck (down) or released on the keyboard; right: a melody note due about then.
    void keyPlayed(int key, bool right, bool down);

private:
    void poll();
    void setStatus(const QString& status);

    QString folder_;
    PracticeSettings settings_;
    std::unique_ptr<MidiInput> input_;
    LiveCheck check_;
    std::vector<RepetitionScore> session_;
    QString status_;
    QTimer scores_;
    QTimer watch_;
    int idlePolls_ = 0;
};

} // namespace orbel
