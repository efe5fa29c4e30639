#include "ui/practice/practice.h"

#include "ui/practice/practice_texts.h"

#include <QMetaObject>
#include <algorithm>

namespace orbel {

namespace {

constexpr int ScorePollMs = 25;
constexpr int WatchInputMs = 1000;
// After the stop, the last repetition's window still has to pass.
constexpr int PollsAfterStop = 40;
constexpr QLatin1StringView ThroughPort("Midi Through");

} // namespace

Practice::Practice(QString folder, std::unique_ptr<MidiInput> input, LiveCheck::Clock now,
                   LiveCheck::Delay outputDelay, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), settings_(LoadPracticeSettings(folder_)),
      input_(std::move(input)), check_(std::move(now), std::move(outputDelay)) {
    check_.setOptions(settings_.scoring, settings_.muteMelody);
    scores_.setInterval(ScorePollMs);
    connect(&scores_, &QTimer::timeout, this, &Practice::poll);
    watch_.setInterval(WatchInputMs);
    connect(&watch_, &QTimer::timeout, this, &Practice::watchInput);
    if (input_) {
        input_->setHandler([this](int key, int velocity, MidiClock::time_point at) {
            const bool down = velocity > 0;
            const bool right = down && check_.play(key, at);
            QMetaObject::invokeMethod(
                this, [this, key, right, down] { emit keyPlayed(key, right, down); }, Qt::QueuedConnection);
        });
    }
    if (settings_.checkOn) connectInput();
}

Practice::~Practice() {
    if (input_) {
        input_->setHandler({});
        input_->close();
    }
}

bool Practice::setSettings(const PracticeSettings& settings) {
    const bool portChanged =
        settings.inputPort != settings_.inputPort || settings.checkOn != settings_.checkOn;
    settings_ = settings;
    check_.setOptions(settings_.scoring, settings_.muteMelody);
    if (portChanged) {
        if (settings_.checkOn) {
            connectInput();
        } else if (input_) {
            input_->close();
            watch_.stop();
            setStatus({});
        }
    }
    return SavePracticeSettings(folder_, settings_);
}

std::optional<TempoRamp> Practice::rampFor(int tempo) {
    if (!settings_.rampOn) return std::nullopt;
    if (settings_.rampStartTempo != tempo) {
        settings_.rampStartTempo = tempo;
        SavePracticeSettings(folder_, settings_);
    }
    return settings_.ramp;
}

bool Practice::listening() const {
    return input_ && input_->openPort().has_value();
}

PracticeListener* Practice::listener() {
    if (!settings_.checkOn || !listening()) return nullptr;
    check_.setEnabled(true);
    return &check_;
}

void Practice::playing(bool isPlaying) {
    if (isPlaying) {
        idlePolls_ = 0;
        if (listening() && settings_.checkOn) scores_.start();
    } else {
        idlePolls_ = PollsAfterStop;
    }
}

void Practice::poll() {
    for (const RepetitionScore& score : check_.takeScores()) {
        session_.push_back(score);
        emit scored(score);
    }
    if (idlePolls_ > 0 && --idlePolls_ == 0) scores_.stop();
}

QStringList Practice::inputs() const {
    QStringList names;
    if (!input_) return names;
    for (const std::string& name : input_->ports())
        names << QString::fromStdString(name);
    return names;
}

void Practice::connectInput() {
    if (!input_) {
        setStatus(QString::fromUtf8(practice_texts::NoInput));
        return;
    }
    const QStringList names = inputs();
    if (names.isEmpty()) {
        input_->close();
        setStatus(QString::fromUtf8(practice_texts::NoInput));
        return;
    }
    // The choice the user made, or the first keyboard: the sequencer's own pass-through port is none.
    QString wanted = names.first();
    if (names.contains(settings_.inputPort)) {
        wanted = settings_.inputPort;
    } else if (const auto keyboard =
                   std::find_if(names.begin(), names.end(),
                                [](const QString& name) { return !name.contains(ThroughPort); });
               keyboard != names.end()) {
        wanted = *keyboard;
    }
    std::string error;
    if (input_->openPort() == wanted.toStdString()) {
        setStatus(QString::fromUtf8(practice_texts::Listening).arg(wanted));
    } else if (input_->open(wanted.toStdString(), error)) {
        check_.setEnabled(true);
        setStatus(QString::fromUtf8(practice_texts::Listening).arg(wanted));
    } else {
        setStatus(QString::fromUtf8(practice_texts::CannotOpen).arg(wanted));
        return;
    }
    watch_.start();
}

void Practice::watchInput() {
    if (!input_ || !input_->openPort()) {
        watch_.stop();
        return;
    }
    const QString open = QString::fromStdString(*input_->openPort());
    if (inputs().contains(open)) return;
    // The keyboard went away: the check stops, the music goes on.
    check_.setEnabled(false);
    input_->close();
    watch_.stop();
    setStatus(QString::fromUtf8(practice_texts::Vanished).arg(open));
}

void Practice::newSession() {
    session_.clear();
    emit sessionCleared();
}

void Practice::setStatus(const QString& status) {
    status_ = status;
    emit inputChanged(status_);
}

} // namespace orbel
