#pragma once
// The start-up order of the trainer, from the single-instance check to the
// shown main window.

#include "app/program_state.h"
#include "app/single_instance.h"
#include "sound/background_player.h"
#include "sound/deadline_clock.h"
#include "sound/live_settings.h"
#include "sound/midi1.h"
#include "sound/midi_port.h"
#include "sound/player_channel.h"
#include "ui/frm_main.h"
#include "ui/practice/practice.h"
#include "ui/queued_player_events.h"
#include "views/view_set.h"

#include <QString>
#include <memory>

namespace orbel {

class MidiInput;
class MidiOutput;
class Prompter;

// Everything one run of the trainer owns, released in reverse order: the player's thread ends first.
struct Trainer {
    explicit Trainer(const QString& programFolder) : instance(programFolder) {
        state.programFolder = programFolder;
    }
    ProgramState state;
    SingleInstance instance;
    std::unique_ptr<MidiPort> port;
    std::unique_ptr<Midi1> midi; // the window's
    std::unique_ptr<DeadlineClock> clock;
    LiveSettings live;
    std::unique_ptr<Practice> practice; // outlives the player, which may hold its check
    std::unique_ptr<frmMain> window;
    std::unique_ptr<QueuedPlayerEvents> events;
    std::unique_ptr<QueuedPlayerViews> views;
    std::unique_ptr<BackgroundPlayer> player;
    std::unique_ptr<PlayerChannel> channel; // the window's way to the player
};

// Brings the trainer up. Returns nothing when another copy already runs: the
// user is told so, and nothing has been read or written. output is where MIDI
// goes; by default the output chosen in the program folder. clock keeps the
// player's time; by default the steady clock. input is the MIDI keyboard's side; by default the ALSA
// sequencer's.
std::unique_ptr<Trainer> Main(const QString& programFolder, Prompter& prompter,
                              std::unique_ptr<MidiOutput> output = nullptr,
                              std::unique_ptr<DeadlineClock> clock = nullptr,
                              std::unique_ptr<MidiInput> input = nullptr);

} // namespace orbel
