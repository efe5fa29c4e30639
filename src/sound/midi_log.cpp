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

void MidiLog::write(ShortMessage message, std::optional<std::chrono::steady_clock::time_point> due) {
    if (!isOn()) return;
    const auto since = [this](std::chrono::steady_clock::time_point at) {
        return std::chrono::duration_cast<std::chrono::microseconds>(at - start_).count();
    };
    out_ << since(std::chrono::steady_clock::now()) << ' ' << StatusOf(message) << ' ' << Data1Of(message)
         << ' ' << Data2Of(message);
    if (due) out_ << ' ' << since(*due);
    out_ << '\n';
    out_.flush();
}

} // namespace orbel
