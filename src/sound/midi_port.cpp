#include "sound/midi_port.h"

#include "app/prompter.h"
#include "sound/sound_texts.h"

#include <QString>
#include <QtGlobal>

namespace orbel {

MidiPort::MidiPort(Prompter& prompter, std::unique_ptr<MidiOutput> output,
                   std::optional<std::filesystem::path> logFile)
    : prompter_(prompter), output_(std::move(output)) {
    if (logFile) log_ = std::make_unique<MidiLog>(*logFile);
}

MidiPort::~MidiPort() = default;

bool MidiPort::open() {
    std::string error;
    std::string notice;
    bool opened = false;
    {
        const std::lock_guard life(lifetime_);
        const std::lock_guard lock(mutex_);
        opened = output_ ? output_->open(error) : false;
        if (opened) {
            openError_.clear();
            notice = output_->openNotice();
        } else {
            openError_ = output_ ? error : "No MIDI output was chosen.";
            error = openError_;
        }
    }
    if (opened) {
        if (!notice.empty() && !noticeShown_) {
            noticeShown_ = true;
            qWarning("%s", notice.c_str());
            prompter_.message(QString::fromStdString(notice));
        }
        return true;
    }
    qWarning("MIDI output not available: %s", error.c_str());
    // Telling the user once is enough: reopening after a settings change must not nag again.
    if (!failureShown_) {
        failureShown_ = true;
        // The reason names what failed, such as a damaged SoundFont, so that the user can choose another.
        prompter_.message(sound_texts::MidiOpenFailed + QLatin1Char('\n') + QString::fromStdString(error));
    }
    return false;
}

void MidiPort::reset() {
    const std::lock_guard life(lifetime_);
    const std::lock_guard lock(mutex_);
    if (!output_) return;
    output_->cancelScheduled();
    output_->reset();
}

void MidiPort::close() {
    const std::lock_guard life(lifetime_);
    const std::lock_guard lock(mutex_);
    if (output_) output_->close();
}

bool MidiPort::isOpen() const {
    const std::lock_guard lock(mutex_);
    return output_ && output_->isOpen();
}

void MidiPort::send(ShortMessage message, std::optional<MidiClock::time_point> due) {
    const std::lock_guard lock(mutex_);
    if (log_) log_->write(message, due);
    if (!output_) return;
    if (due) {
        output_->sendAt(message, *due);
    } else {
        output_->send(message);
    }
}

void MidiPort::cancelScheduled() {
    const std::lock_guard lock(mutex_);
    if (output_) output_->cancelScheduled();
}

void MidiPort::wake() {
    // Not under mutex_: the window's reference tones must not wait while the stream comes back.
    const std::shared_lock life(lifetime_);
    if (output_) output_->wake();
}

std::string MidiPort::soundFontInUse() const {
    const std::lock_guard lock(mutex_);
    return output_ ? output_->soundFontInUse() : std::string{};
}

std::chrono::microseconds MidiPort::outputDelay() const {
    const std::lock_guard lock(mutex_);
    return output_ ? output_->outputDelay() : std::chrono::microseconds{};
}

std::string MidiPort::openError() const {
    const std::lock_guard lock(mutex_);
    return openError_;
}

} // namespace orbel
