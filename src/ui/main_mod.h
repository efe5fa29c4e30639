#pragma once
// The start-up order of the trainer, from the single-instance check to the
// shown main window.

#include "app/program_state.h"
#include "app/single_instance.h"
#include "sound/deadline_clock.h"
#include "sound/midi1.h"
#include "sound/play_modes.h"
#include "sound/play_sled.h"
#include "ui/frm_main.h"

#include <QString>
#include <memory>

namespace orbel {

class MidiOutput;
class Prompter;

// Everything one run of the trainer owns, released in reverse order.
struct Trainer {
    explicit Trainer(const QString& programFolder) : instance(programFolder) {
        state.programFolder = programFolder;
    }
    ProgramState state;
    SingleInstance instance;
    std::unique_ptr<Midi1> midi;
    std::unique_ptr<DeadlineClock> clock;
    std::unique_ptr<PlaySled> player;
    std::unique_ptr<PlayModes> modes;
    std::unique_ptr<frmMain> window;
};

// Brings the trainer up. Returns nothing when another copy already runs: the
// user is told so, and nothing has been read or written. output is where MIDI
// goes; by default the output chosen in the program folder. clock keeps the
// player's time; by default the steady clock.
std::unique_ptr<Trainer> Main(const QString& programFolder, Prompter& prompter,
                              std::unique_ptr<MidiOutput> output = nullptr,
                              std::unique_ptr<DeadlineClock> clock = nullptr);

} // namespace orbel
