#include "sound/midi_log.h"

#include <QtGlobal>
#include <cstdlib>

namespace orbel {

std::optional<std::filesystem::path> MidiLogPathFromEnvironment() {
    const char* value = std::getenv(midi_log::PathVariable);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::filesystem::path(value);
}

MidiLog::MidiLog(const std::filesystem::path& file)
    : start_(std::chrono::steady_clock::now()), out_(file, std::ios::out | std::ios::app) {
    if (!out_.is_open()) {
        qWarning("The MIDI trace file %s cannot be written; messages are not traced.", file.c_str());
    }
}

void MidiLog::write(ShortMessage message) {
    if (!isOn()) return;
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_)
            .count();
    out_ << micros << ' ' << StatusOf(message) << ' ' << Data1Of(message) << ' ' << Data2Of(message) << '\n';
    out_.flush();
}

} // namespace orbel
