#include "scale_player.h"

namespace orbel {

ScalePlayer::ScalePlayer(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ScalePlayer::step);
}

ScalePlayer::~ScalePlayer() {
    timer_.stop();
    if (output_) {
        output_->reset();
        output_->close();
    }
}

void ScalePlayer::play(std::unique_ptr<MidiOutput> output) {
    stop();
    if (!output) return;
    output_ = std::move(output);
    output_->send(PackShortMessage(midi_bytes::ProgramChange + test_scale::Channel, test_scale::Piano, 0));
    next_ = 0;
    step();
}

void ScalePlayer::stop() {
    timer_.stop();
    if (!output_) return;
    output_->reset();
    output_->close();
    output_.reset();
    emit finished();
}

void ScalePlayer::step() {
    if (!output_) return;
    const std::size_t count = test_scale::Notes.size();
    if (next_ > 0 && next_ <= count) {
        output_->send(
            PackShortMessage(midi_bytes::NoteOff + test_scale::Channel, test_scale::Notes[next_ - 1], 0));
    }
    if (next_ < count) {
        output_->send(PackShortMessage(midi_bytes::NoteOn + test_scale::Channel, test_scale::Notes[next_],
                                       test_scale::Velocity));
        ++next_;
        timer_.start(test_scale::NoteLength);
        return;
    }
    if (next_ == count) {
        ++next_;
        timer_.start(test_scale::Release);
        return;
    }
    stop();
}

} // namespace orbel
