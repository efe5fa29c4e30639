// FluidSynth under the scheduled renderer.
// Thread: the audio thread.
#include "sound/audio/fluid_block_synth.h"

#include "sound/midi_output.h"

#include <algorithm>
#include <array>
#include <fluidsynth.h>

namespace orbel {

namespace {

int ClampData(int value) {
    return value < 0 ? 0 : (value > midi_bytes::DataMax ? midi_bytes::DataMax : value);
}

} // namespace

void FluidBlockSynth::apply(ShortMessage message) {
    const int status = StatusOf(message);
    const int channel = status & 0x0F;
    const int data1 = ClampData(Data1Of(message));
    const int data2 = ClampData(Data2Of(message));
    // The synthesizer refuses some messages as a matter of course (a note-off for a key that is not
    // sounding, a program the SoundFont lacks); like any MIDI device it just plays on, so the results are
    // not examined.
    switch (status & 0xF0) {
    case midi_bytes::NoteOff:
        (void)fluid_synth_noteoff(synth_, channel, data1);
        break;
    case midi_bytes::NoteOn:
        if (data2 == 0) {
            (void)fluid_synth_noteoff(synth_, channel, data1);
        } else {
            (void)fluid_synth_noteon(synth_, channel, data1, data2);
        }
        break;
    case midi_bytes::KeyPressure:
        (void)fluid_synth_key_pressure(synth_, channel, data1, data2);
        break;
    case midi_bytes::ControlChange:
        (void)fluid_synth_cc(synth_, channel, data1, data2);
        break;
    case midi_bytes::ProgramChange:
        (void)fluid_synth_program_change(synth_, channel, data1);
        break;
    case midi_bytes::ChannelPressure:
        (void)fluid_synth_channel_pressure(synth_, channel, data1);
        break;
    case midi_bytes::PitchBend:
        (void)fluid_synth_pitch_bend(synth_, channel, data1 + 128 * data2);
        break;
    default:
        break; // not a channel message
    }
}

// Can only fail for a bad channel number, and -1 (all channels) is always valid.
void FluidBlockSynth::allSoundsOff() {
    (void)fluid_synth_all_sounds_off(synth_, -1);
}

void FluidBlockSynth::render(std::span<float> left, std::span<float> right) {
    std::fill(left.begin(), left.end(), 0.0F);
    std::fill(right.begin(), right.end(), 0.0F);
    // The effects are mixed into the same two buffers. A failure (only for bad arguments) leaves silence,
    // which is all the audio thread could do about it.
    std::array<float*, 2> out{left.data(), right.data()};
    (void)fluid_synth_process(synth_, static_cast<int>(left.size()), 2, out.data(), 2, out.data());
}

int FluidBlockSynth::activeVoices() {
    return fluid_synth_get_active_voice_count(synth_);
}

} // namespace orbel
