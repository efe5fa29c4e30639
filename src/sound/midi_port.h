#pragma once
// The one MIDI output of a run, shared by the window's thread (reference tones, program changes) and the
// player's (the performance): every message is traced and handed to the output under one lock, so the two
// never interleave inside the output.
// Thread: any thread: the window's and the player's.

#include "sound/midi_log.h"
#include "sound/midi_output.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>

namespace orbel {

class Prompter;

class MidiPort {
public:
    // logFile: where every message is traced as well, ORBEL_MIDI_LOG's file by default.
    MidiPort(Prompter& prompter, std::unique_ptr<MidiOutput> output,
             std::optional<std::filesystem::path> logFile = MidiLogPathFromEnvironment());
    ~MidiPort();
    MidiPort(const MidiPort&) = delete;
    MidiPort& operator=(const MidiPort&) = delete;

    // Opens the output. The first failure of a run tells the user; the program then runs on without
    // sound, and later failures stay silent. An output that opened in place of the one chosen says so once.
    // True when the output is open. Called on the window's thread.
    bool open();
    void reset();
    void close();
    bool isOpen() const;

    // Sends at once, or scheduled for due on MidiClock.
    void send(ShortMessage message, std::optional<MidiClock::time_point> due = std::nullopt);
    // Forgets what is scheduled and not yet heard (a stop).
    void cancelScheduled();
    // Gets the output running before a performance's first deadline (a stream released while idle comes
    // back). May take a moment; the player's thread calls it before its deadline chain starts.
    void wake();
    // From a message's due time to its sound.
    std::chrono::microseconds outputDelay() const;

    // Why the last open failed, in the output's own words; empty after a successful open.
    std::string openError() const;
    // The SoundFont the output plays, if it is a synthesizer that is open.
    std::string soundFontInUse() const;

private:
    Prompter& prompter_;
    // Set once: the output is reached only through the port, under mutex_, but for wake() (see there).
    const std::unique_ptr<MidiOutput> output_;
    // Held shared by wake(), which may take a while and must not hold up what the window sends, and
    // exclusively by whatever opens, resets or closes the output, so that none of them runs under a wake.
    mutable std::shared_mutex lifetime_;
    std::unique_ptr<MidiLog> log_;
    mutable std::mutex mutex_;
    std::string openError_;
    bool failureShown_ = false;
    bool noticeShown_ = false;
};

} // namespace orbel
