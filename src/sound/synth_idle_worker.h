#pragma once
// The built-in synthesizer's worker, live only. It loads the SoundFont (so that opening returns at once),
// then keeps the stream no longer than it is needed: after a few quiet seconds the stream goes idle, and a
// message or a wake starts it again. A performance about to start wakes it ahead of its first note, and
// has the sound server's queue sized for the machine while nothing sounds.
// Thread: a thread of its own; callers nudge and wake it from any thread, under the MIDI port's lock.

#include "sound/midi_output.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <thread>

namespace orbel {

class FluidSynthSet;
class ScheduledRenderer;
class SynthStream;

class SynthIdleWorker {
public:
    // Starts the worker on the open stream; throws std::system_error when no thread can be started. All
    // three must outlive the worker.
    SynthIdleWorker(FluidSynthSet& fluid, ScheduledRenderer& renderer, SynthStream& stream,
                    std::filesystem::path font, double sampleRate);
    // Stops the worker and waits for it.
    ~SynthIdleWorker();
    SynthIdleWorker(const SynthIdleWorker&) = delete;
    SynthIdleWorker& operator=(const SynthIdleWorker&) = delete;

    // Something was handed over: the stream starts if it is idle.
    void nudge() { (void)ask(false); }
    // Starts or resumes the stream if it is idle, keeps it awake a while and returns once it runs with its
    // clock found and the SoundFont loaded (or after at most a few seconds).
    void wake();

private:
    // Asks the worker to start the stream if it is not running. Returns the number of a wake asked for
    // with keepAwake, which wakesAnswered_ reaches once answered.
    std::uint64_t ask(bool keepAwake);
    void serve();
    // Frames of the stream in a span of time.
    std::int64_t framesIn(std::chrono::duration<double> span) const;

    FluidSynthSet& fluid_;
    ScheduledRenderer& renderer_;
    SynthStream& stream_;
    std::filesystem::path font_;
    double sampleRate_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;   // guarded by mutex_
    bool wakeWanted_ = false; // guarded by mutex_
    // Wakes asked for by a performance about to start, and those the worker has answered (the queue sized
    // for it).
    std::uint64_t wakesAsked_ = 0; // guarded by mutex_
    std::atomic<std::uint64_t> wakesAnswered_ = 0;
    MidiClock::time_point keepAwakeUntil_; // guarded by mutex_
    std::thread worker_;                   // last: it starts once everything else is there
};

} // namespace orbel
