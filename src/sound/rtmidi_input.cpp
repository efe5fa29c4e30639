#include "sound/rtmidi_input.h"

#include <RtMidi.h>
#include <alsa/asoundlib.h>
#include <cstdarg>

namespace orbel {

namespace {

constexpr const char* ClientName = "ORBEL input";
constexpr const char* InputPortName = "ORBEL keyboard";
constexpr int NoteOff = 0x80;
constexpr int NoteOn = 0x90;
constexpr int KindBits = 0xF0;

// The ALSA library prints its own complaints (no sequencer device, say) unless told otherwise; the practice
// window says what matters in one line of its own.
void Silent(const char* /*file*/, int /*line*/, const char* /*function*/, int /*err*/, const char* /*fmt*/,
            ...) {}

// Whether a sequencer client can be made at all: RtMidi prints its failure before it throws, so it is asked
// only once the sequencer is known to be there.
bool SequencerOpens(std::string& error) {
    snd_seq_t* probe = nullptr;
    const int result = snd_seq_open(&probe, "default", SND_SEQ_OPEN_INPUT, 0);
    if (result < 0) {
        error = snd_strerror(result);
        return false;
    }
    snd_seq_close(probe);
    return true;
}

std::unique_ptr<RtMidiIn> MakeClient(std::string& error) {
    snd_lib_error_set_handler(&Silent);
    if (!SequencerOpens(error)) return nullptr;
    try {
        auto in = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, ClientName);
        in->setErrorCallback([](RtMidiError::Type, const std::string&, void*) {}, nullptr);
        return in;
    } catch (const RtMidiError& e) {
        error = e.getMessage();
    } catch (const std::exception& e) {
        error = e.what();
    }
    return nullptr;
}

void Deliver(double /*delta*/, std::vector<unsigned char>* message, void* self) {
    if (message != nullptr) static_cast<RtMidiInput*>(self)->deliver(*message);
}

} // namespace

RtMidiInput::RtMidiInput() = default;

RtMidiInput::~RtMidiInput() {
    close();
}

std::vector<std::string> RtMidiInput::ports() {
    std::vector<std::string> names;
    // The sequencer is asked only once somebody wants a keyboard.
    if (!lister_ && !triedLister_) {
        triedLister_ = true;
        std::string ignored;
        lister_ = MakeClient(ignored);
    }
    if (!lister_) return names;
    try {
        const unsigned count = lister_->getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            std::string name = lister_->getPortName(i);
            // Our own ports are no keyboard.
            if (!name.empty() && name.find("ORBEL") == std::string::npos) names.push_back(std::move(name));
        }
    } catch (const std::exception&) {
        names.clear();
    }
    return names;
}

bool RtMidiInput::open(const std::string& port, std::string& error) {
    close();
    std::string why;
    std::unique_ptr<RtMidiIn> in = MakeClient(why);
    if (!in) {
        error = "The ALSA sequencer cannot be used (" + why + ").";
        return false;
    }
    try {
        const unsigned count = in->getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            if (in->getPortName(i) != port) continue;
            in->ignoreTypes(true, true, true); // no system exclusive, timing or active sensing
            in->setCallback(&Deliver, this);
            in->openPort(i, InputPortName);
            if (!in->isPortOpen()) break;
            in_ = std::move(in);
            openPort_ = port;
            return true;
        }
        error = "The MIDI input \"" + port + "\" is not there.";
    } catch (const RtMidiError& e) {
        error = "The MIDI input \"" + port + "\" cannot be opened (" + e.getMessage() + ").";
    }
    return false;
}

void RtMidiInput::close() {
    if (in_) {
        try {
            in_->cancelCallback();
            in_->closePort();
        } catch (const std::exception&) {
            // Closing what is already gone leaves nothing to do.
        }
        in_.reset();
    }
    openPort_.reset();
}

void RtMidiInput::setHandler(NoteHandler handler) {
    const std::lock_guard lock(handlerMutex_);
    handler_ = std::move(handler);
}

void RtMidiInput::deliver(const std::vector<unsigned char>& message) {
    if (message.size() < 3) return;
    const int kind = message[0] & KindBits;
    if (kind != NoteOn && kind != NoteOff) return;
    const MidiClock::time_point at = MidiClock::now();
    const int velocity = kind == NoteOff ? 0 : message[2] & 0x7F;
    const std::lock_guard lock(handlerMutex_);
    if (handler_) handler_(message[1] & 0x7F, velocity, at);
}

} // namespace orbel
