#include "sound/alsa_port_output.h"

#include <RtMidi.h>
#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

namespace orbel {

namespace {

constexpr const char* ClientName = "ORBEL";
constexpr const char* OutputPortName = "ORBEL output";

std::unique_ptr<RtMidiOut> MakeSequencerClient(std::string& error) {
    try {
        return std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, ClientName);
    } catch (const RtMidiError& e) {
        error = "ALSA シーケンサーを使えません（" + e.getMessage() + "）。";
    } catch (const std::exception& e) {
        error = std::string("ALSA シーケンサーを使えません（") + e.what() + "）。";
    }
    return nullptr;
}

bool IsNumber(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::vector<std::string> ListPorts(RtMidiOut& out) {
    std::vector<std::string> names;
    const unsigned count = out.getPortCount();
    for (unsigned i = 0; i < count; ++i)
        names.push_back(out.getPortName(i));
    return names;
}

} // namespace

std::optional<std::size_t> FindAlsaPort(const std::vector<std::string>& names, const std::string& wanted) {
    if (names.empty()) return std::nullopt;
    if (wanted.empty()) return 0;
    if (IsNumber(wanted)) {
        // No sequencer has that many ports, and the conversion could overflow on it.
        if (wanted.size() > 9) return std::nullopt;
        const std::size_t number = std::stoul(wanted);
        return number < names.size() ? std::optional<std::size_t>(number) : std::nullopt;
    }
    // Names must match exactly first, so that "Port-1" does not pick "Port-10".
    const auto exact = std::find(names.begin(), names.end(), wanted);
    if (exact != names.end()) return static_cast<std::size_t>(exact - names.begin());
    const auto containing = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
        return name.find(wanted) != std::string::npos;
    });
    if (containing != names.end()) return static_cast<std::size_t>(containing - names.begin());
    return std::nullopt;
}

AlsaPortOutput::AlsaPortOutput(std::string port) : port_(std::move(port)) {}

AlsaPortOutput::~AlsaPortOutput() = default;

bool AlsaPortOutput::open(std::string& error) {
    close();
    std::unique_ptr<RtMidiOut> out = MakeSequencerClient(error);
    if (!out) return false;
    try {
        // From here on the sequencer reports problems to us instead of throwing or printing them.
        lastError_.clear();
        out->setErrorCallback([](RtMidiError::Type /*type*/, const std::string& text,
                                 void* self) { static_cast<AlsaPortOutput*>(self)->lastError_ = text; },
                              this);

        const std::vector<std::string> names = ListPorts(*out);
        if (names.empty()) {
            error = "ALSA シーケンサーに、音を出せる MIDI 出力ポートがありません。";
            return false;
        }
        const std::optional<std::size_t> found = FindAlsaPort(names, port_);
        if (!found) {
            error = IsNumber(port_) ? "ALSA の MIDI 出力ポート番号 " + port_ + " はありません（ポートは " +
                                          std::to_string(names.size()) + " 個です）。"
                                    : "「" + port_ + "」という名前の ALSA MIDI 出力ポートはありません。";
            return false;
        }
        const auto index = static_cast<unsigned>(*found);

        out->openPort(index, OutputPortName);
        if (!out->isPortOpen()) {
            error = "ALSA の MIDI 出力ポート「" + names[index] + "」を開けません（" + lastError_ + "）。";
            return false;
        }
    } catch (const std::exception& e) {
        error = std::string("ALSA の MIDI 出力を開けません（") + e.what() + "）。";
        return false;
    }
    out_ = std::move(out);
    return true;
}

void AlsaPortOutput::send(ShortMessage message) {
    if (!out_) return;
    const int status = StatusOf(message);
    if (status < midi_bytes::NoteOff) return; // not a status byte
    const std::array<unsigned char, 3> bytes{static_cast<unsigned char>(status),
                                             static_cast<unsigned char>(Data1Of(message) & 0x7F),
                                             static_cast<unsigned char>(Data2Of(message) & 0x7F)};
    // Program change and channel pressure carry one data byte.
    const int kind = status & 0xF0;
    const std::size_t length =
        (kind == midi_bytes::ProgramChange || kind == midi_bytes::ChannelPressure) ? 2 : 3;
    try {
        out_->sendMessage(bytes.data(), length);
    } catch (const std::exception&) {
        // A lost message is not worth interrupting the user for; the device keeps its state.
    }
}

void AlsaPortOutput::reset() {
    // What a device reset does: every sound and every held note off, the sustain pedal up.
    for (int channel = 0; channel < midi_bytes::Channels; ++channel) {
        const int status = midi_bytes::ControlChange + channel;
        send(PackShortMessage(status, midi_bytes::ControllerAllSoundOff, 0));
        send(PackShortMessage(status, midi_bytes::ControllerAllNotesOff, 0));
        send(PackShortMessage(status, midi_bytes::ControllerSustain, 0));
    }
}

void AlsaPortOutput::close() {
    out_.reset();
}

bool AlsaPortOutput::isOpen() const {
    return out_ != nullptr;
}

std::vector<std::string> AlsaPortOutput::PortNames(std::string& error) {
    std::unique_ptr<RtMidiOut> out = MakeSequencerClient(error);
    if (!out) return {};
    try {
        return ListPorts(*out);
    } catch (const std::exception& e) {
        error = std::string("ALSA シーケンサーのポートを一覧にできません（") + e.what() + "）。";
        return {};
    }
}

} // namespace orbel
