#include "sound/synth_output.h"

#include "sound/audio/pulse_stream.h"
#include "sound/audio/scheduled_renderer.h"
#include "sound/realtime_priority.h"
#include "sound/soundfont_check.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fluidsynth.h>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace orbel {

namespace {

// Tried in this order: desktops (PipeWire included) serve the pulseaudio protocol; plain ALSA covers
// machines without a sound server; JACK covers studio set-ups.
constexpr std::array<const char*, 3> AudioDrivers{"pulseaudio", "alsa", "jack"};
constexpr const char* AudioDriverList = "pulseaudio, alsa, jack";
constexpr const char* FileDriver = "file";
constexpr const char* PulseDriver = "pulseaudio";
// The variables that let FluidSynth's own warnings through to the console.
constexpr std::array<const char*, 2> DebugVariables{"ORBEL_SYNTH_DEBUG", "ORBEL_MIDI_LOG"};
// wake() waits at most this long, and until a new stream has run this long (its first bursts settle the
// clock mapping); a resumed stream of the sound server is ready with its first period.
constexpr std::chrono::milliseconds WakeTimeout{3000};
constexpr std::chrono::milliseconds WakeSettle{100};
constexpr std::chrono::milliseconds WakePoll{2};
// How often a running stream is checked for idleness, and how long a new stream's first callback is
// awaited for its thread's priority.
constexpr std::chrono::milliseconds IdleCheck{250};
constexpr std::chrono::milliseconds FirstCallbackWait{200};
// Silent this long, the stream is between performances.
constexpr std::chrono::duration<double> QuietBeforeSizing{0.3};

// The drivers open() tries, in order: the one asked for, else the desktop's.
std::vector<std::string> DriversToTry(const std::string& asked) {
    if (!asked.empty()) return {asked};
    return {AudioDrivers.begin(), AudioDrivers.end()};
}

int PeriodFramesFor(const std::string& driver) {
    return driver == FileDriver ? synth_defaults::FilePeriodFrames : synth_defaults::ServerPeriodFrames;
}

std::chrono::microseconds DelayFor(int periodFrames, double sampleRate) {
    const double frames = periodFrames + synth_block::Frames;
    return std::chrono::microseconds(static_cast<std::int64_t>(frames * 1e6 / sampleRate)) +
           synth_defaults::DelayMargin;
}

bool DebugWanted() {
    return std::any_of(DebugVariables.begin(), DebugVariables.end(), [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    });
}

// FluidSynth reports what it cannot do (no real-time priority for a normal user, a driver that is not
// there while others are tried) on the console; the program says what matters in its own words instead.
void SynthLog(int level, const char* message, void* /*data*/) {
    if (level <= FLUID_WARN && DebugWanted()) std::fprintf(stderr, "fluidsynth: %s\n", message);
}

void QuietenSynthLog() {
    for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        (void)fluid_set_log_function(level, SynthLog, nullptr); // returns the previous function only
}

struct SettingsDeleter {
    void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
struct SynthDeleter {
    void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
struct DriverDeleter {
    void operator()(fluid_audio_driver_t* driver) const { delete_fluid_audio_driver(driver); }
};

bool SetInt(fluid_settings_t* settings, const char* name, int value, std::string& error) {
    if (fluid_settings_setint(settings, name, value) == FLUID_OK) return true;
    error =
        "シンセサイザーが設定 " + std::string(name) + " = " + std::to_string(value) + " を受け付けません。";
    return false;
}

bool SetNumber(fluid_settings_t* settings, const char* name, double value, std::string& error) {
    if (fluid_settings_setnum(settings, name, value) == FLUID_OK) return true;
    error =
        "シンセサイザーが設定 " + std::string(name) + " = " + std::to_string(value) + " を受け付けません。";
    return false;
}

bool IsReadableFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && std::ifstream(path, std::ios::binary).good();
}

int ClampData(int value) {
    return value < 0 ? 0 : (value > midi_bytes::DataMax ? midi_bytes::DataMax : value);
}

// FluidSynth as the renderer sees it.
class FluidBlockSynth final : public BlockSynth {
public:
    explicit FluidBlockSynth(fluid_synth_t* synth) : synth_(synth) {}

    void setReady() { ready_.store(true, std::memory_order_release); }
    bool ready() const override { return ready_.load(std::memory_order_acquire); }

    void apply(ShortMessage message) override {
        const int status = StatusOf(message);
        const int channel = status & 0x0F;
        const int data1 = ClampData(Data1Of(message));
        const int data2 = ClampData(Data2Of(message));
        // The synthesizer refuses some messages as a matter of course (a note-off for a key that is not
        // sounding, a program the SoundFont lacks); like any MIDI device it just plays on, so the results
        // are not examined.
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

    // Cuts every voice on every channel at once, without release tails. Can only fail for a bad channel
    // number, and -1 (all channels) is always valid.
    void allSoundsOff() override { (void)fluid_synth_all_sounds_off(synth_, -1); }

    void render(std::span<float> left, std::span<float> right) override {
        std::fill(left.begin(), left.end(), 0.0F);
        std::fill(right.begin(), right.end(), 0.0F);
        // The effects are mixed into the same two buffers. A failure (only for bad arguments) leaves
        // silence, which is all the audio thread could do about it.
        std::array<float*, 2> out{left.data(), right.data()};
        (void)fluid_synth_process(synth_, static_cast<int>(left.size()), 2, out.data(), 2, out.data());
    }

    int activeVoices() override { return fluid_synth_get_active_voice_count(synth_); }

private:
    fluid_synth_t* synth_;
    std::atomic<bool> ready_{false};
};

} // namespace

// Declared in the order of creation, so that the synthesizer goes before its settings; the worker and the
// driver are stopped by the destructor before anything else goes.
struct SynthOutput::Engine {
    std::unique_ptr<fluid_settings_t, SettingsDeleter> settings;
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth;
    std::unique_ptr<FluidBlockSynth> block;
    std::unique_ptr<ScheduledRenderer> renderer;
    double sampleRate = synth_defaults::SampleRate;

    // Live only. The worker loads the SoundFont, then starts the stream and pauses or releases it.
    std::filesystem::path fontToLoad;
    std::unique_ptr<fluid_audio_driver_t, DriverDeleter> driver; // the worker's, once it runs
    // With the desktop's sound server the stream is our own, so that it knows when its frames are heard.
    bool ownPulse = false;
    PulseStreamOptions pulseOptions;
    std::unique_ptr<PulseStream> pulse;
    std::atomic<bool> running{false};
    // The running stream was resumed from a pause rather than started: its time line is found at once.
    std::atomic<bool> resumed{false};
    std::atomic<pid_t> audioThread{0};
    std::mutex mutex;
    std::condition_variable changed;
    bool stopping = false;   // guarded by mutex
    bool wakeWanted = false; // guarded by mutex
    // Wakes asked for by a performance about to start, and those the worker has answered (the queue sized
    // for it).
    std::uint64_t wakesAsked = 0; // guarded by mutex
    std::atomic<std::uint64_t> wakesAnswered = 0;
    MidiClock::time_point keepAwakeUntil{};
    bool realtimeRefused = false; // the worker's
    std::thread worker;

    Engine() = default;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    ~Engine() {
        if (worker.joinable()) {
            {
                std::lock_guard lock(mutex);
                stopping = true;
            }
            changed.notify_all();
            worker.join();
        }
        driver.reset();
        pulse.reset();
    }

    static int AudioCallback(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
        const auto start = MidiClock::now();
        auto* engine = static_cast<Engine*>(data);
        if (engine->audioThread.load(std::memory_order_relaxed) == 0)
            engine->audioThread.store(::gettid(), std::memory_order_relaxed);
        if (len <= 0 || nout < 2) return FLUID_OK;
        const auto frames = static_cast<std::size_t>(len);
        engine->renderer->render(start, {out[0], frames}, {out[1], frames});
        for (int i = 2; i < nout; ++i)
            std::fill_n(out[i], frames, 0.0F);
        for (int i = 0; i < nfx; ++i)
            std::fill_n(fx[i], frames, 0.0F);
        return FLUID_OK;
    }

    // Starts a new stream.
    bool startDriver() {
        renderer->restartStream(ownPulse);
        audioThread.store(0, std::memory_order_relaxed);
        resumed.store(false, std::memory_order_relaxed);
        if (ownPulse) {
            std::string error;
            pulse = std::make_unique<PulseStream>(
                pulseOptions,
                [this](MidiClock::time_point firstFramePlays, std::span<float> left, std::span<float> right) {
                    if (audioThread.load(std::memory_order_relaxed) == 0)
                        audioThread.store(::gettid(), std::memory_order_relaxed);
                    renderer->render(firstFramePlays, left, right);
                },
                [this](std::chrono::microseconds delay) {
                    renderer->setDelay(delay);
                    if (DebugWanted())
                        std::fprintf(stderr, "Output delay: %lld us (the sound server's queue changed).\n",
                                     static_cast<long long>(delay.count()));
                },
                &error);
            if (!pulse->isRunning()) {
                pulse.reset();
                if (DebugWanted()) std::fprintf(stderr, "%s\n", error.c_str());
            } else {
                // The stream may start with the longer queue of a busy machine.
                renderer->setDelay(PulseOutputDelay(pulseOptions, pulse->periods()));
                if (DebugWanted())
                    std::fprintf(stderr, "Output delay: %lld us.\n",
                                 static_cast<long long>(renderer->delay().count()));
            }
        } else {
            driver.reset(new_fluid_audio_driver2(settings.get(), AudioCallback, this));
        }
        running.store(streaming(), std::memory_order_seq_cst);
        return streaming();
    }

    // Plays the paused stream of the sound server again; false when there is none or it is gone.
    bool resumeStream() {
        if (!pulse) return false;
        std::string error;
        // Paused, the stream renders nothing, so its time line can start again here.
        renderer->restartStream(true);
        if (!pulse->failed() && pulse->resume(&error)) {
            resumed.store(true, std::memory_order_relaxed);
            running.store(true, std::memory_order_seq_cst);
            return true;
        }
        if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
        pulse.reset();
        return false;
    }

    // Idle: the sound server's stream is paused and kept, so that it plays again at once; the other
    // drivers, which would hold a device or keep writing, are released.
    void rest() {
        running.store(false, std::memory_order_seq_cst);
        if (pulse) {
            std::string error;
            if (pulse->pause(&error)) return;
            if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
        }
        driver.reset();
        pulse.reset();
    }

    bool streaming() const { return driver != nullptr || pulse != nullptr; }

    // Each new audio thread gets real-time priority once it has shown itself; a system that refused once
    // is not asked again.
    void raiseAudioThread() {
        if (realtimeRefused) return;
        const auto deadline = MidiClock::now() + FirstCallbackWait;
        while (audioThread.load(std::memory_order_relaxed) == 0 && MidiClock::now() < deadline)
            std::this_thread::sleep_for(WakePoll);
        const pid_t thread = audioThread.load(std::memory_order_relaxed);
        if (thread == 0) return;
        std::string why;
        if (RequestRealtimePriorityFor(thread, realtime::AudioPriority, &why)) return;
        realtimeRefused = true;
        if (DebugWanted()) std::fprintf(stderr, "%s\n", why.c_str());
    }

    void loadFont() {
        if (fluid_synth_sfload(synth.get(), fontToLoad.c_str(), 1) == FLUID_FAILED) {
            // open() saw a SoundFont header, so this is a damaged file; the program plays on, silent.
            std::fprintf(stderr, "The SoundFont %s could not be loaded; it may be damaged.\n",
                         fontToLoad.c_str());
        }
        block->setReady();
    }

    void serve() {
        loadFont();
        std::unique_lock lock(mutex);
        while (!stopping) {
            if (running.load()) {
                // A wake asked for while the last round ran is not waited out: wake() waits for its answer.
                changed.wait_for(lock, IdleCheck, [this] { return stopping || wakeWanted; });
            } else {
                changed.wait(lock, [this] { return stopping || wakeWanted; });
            }
            if (stopping) break;
            const bool wanted = std::exchange(wakeWanted, false);
            const std::uint64_t asked = wakesAsked;
            const bool idle = MidiClock::now() >= keepAwakeUntil &&
                              renderer->quietFrames() >=
                                  static_cast<std::int64_t>(sampleRate * synth_defaults::IdleAfter.count());
            lock.unlock();
            // A performance starts: its queue is sized while nothing sounds (a paused stream before it
            // plays again), so that no note hears the delay change; a new pass of a performance in
            // progress asks too, and is left as it is.
            const bool silent =
                !running.load() ||
                renderer->quietFrames() >= static_cast<std::int64_t>(sampleRate * QuietBeforeSizing.count());
            if (wanted && pulse && !pulse->failed() && silent) pulse->sizeQueue();
            if (pulse && pulse->failed()) {
                // The sound server went away (the stream said so): a new stream is tried when there is
                // something to play.
                running.store(false, std::memory_order_seq_cst);
                pulse.reset();
                if (wanted || renderer->hasWork()) restart();
            } else if (!running.load() && wanted) {
                restart();
            } else if (running.load() && idle && !wanted) {
                rest();
                // A message handed over while the stream was going idle must still play.
                if (renderer->hasWork()) restart();
            }
            wakesAnswered.store(asked, std::memory_order_release);
            lock.lock();
        }
    }

    void restart() {
        if (resumeStream()) return;
        if (startDriver()) {
            raiseAudioThread();
            return;
        }
        // The sound server went away: what was handed over cannot play, and the next message tries again.
        renderer->discardAll();
        std::fprintf(stderr, "The synthesizer's audio output could not be started again.\n");
    }

    // Asks the worker to start the stream if it is not running.
    // Returns the number of a wake asked for with keepAwake, which wakesAnswered reaches once answered.
    std::uint64_t nudge(bool keepAwake) {
        if (running.load(std::memory_order_seq_cst) && !keepAwake) return 0;
        std::uint64_t ticket = 0;
        {
            std::lock_guard lock(mutex);
            wakeWanted = true;
            if (keepAwake) {
                keepAwakeUntil = MidiClock::now() + synth_defaults::IdleAfter;
                ticket = ++wakesAsked;
            }
        }
        changed.notify_all();
        return ticket;
    }
};

SynthOutput::SynthOutput(SynthOptions options) : options_(std::move(options)) {}

SynthOutput::~SynthOutput() = default;

bool SynthOutput::open(std::string& error) {
    close();

    std::filesystem::path font = options_.soundFont;
    if (font.empty()) {
        const auto found = FindGeneralMidiSoundFont(options_.soundFontFolder);
        if (!found) {
            error = options_.soundFontFolder.string() +
                    " に General MIDI の SoundFont（.sf2）がありません。パッケージ fluid-soundfont-gm "
                    "に含まれています。";
            return false;
        }
        font = *found;
    } else if (!IsReadableFile(font)) {
        error = "SoundFont「" + font.string() + "」がないか、読み込めません。";
        return false;
    }
    // Read from its headers alone, so that open() need not wait for the whole file: a damaged font is
    // named now rather than loaded into silence.
    if (const std::optional<std::string> problem = SoundFontProblem(font)) {
        error = *problem;
        return false;
    }

    QuietenSynthLog();
    auto engine = std::make_unique<Engine>();
    engine->sampleRate = options_.sampleRate;
    engine->settings.reset(new_fluid_settings());
    if (!engine->settings) {
        error = "シンセサイザーの設定を作れません（メモリが足りないのかもしれません）。";
        return false;
    }
    fluid_settings_t* settings = engine->settings.get();
    // Loading only the samples of the instruments in use keeps a large SoundFont from taking its whole
    // size in memory. The audio thread's priority is asked for by the program itself, so FluidSynth does
    // not try (and complain) on its own.
    if (!SetInt(settings, "synth.dynamic-sample-loading", 1, error) ||
        !SetNumber(settings, "synth.sample-rate", options_.sampleRate, error) ||
        !SetNumber(settings, "synth.gain", synth_defaults::Gain, error) ||
        !SetInt(settings, "audio.realtime-prio", 0, error)) {
        return false;
    }

    engine->synth.reset(new_fluid_synth(settings));
    if (!engine->synth) {
        error = "シンセサイザーを作れません。";
        return false;
    }
    engine->block = std::make_unique<FluidBlockSynth>(engine->synth.get());

    if (!options_.liveAudio) {
        if (fluid_synth_sfload(engine->synth.get(), font.c_str(), 1) == FLUID_FAILED) {
            error = "SoundFont「" + font.string() +
                    "」を読み込めません。壊れているか、SoundFont ではありません。";
            return false;
        }
        engine->block->setReady();
        engine->renderer = std::make_unique<ScheduledRenderer>(*engine->block, options_.sampleRate,
                                                               std::chrono::microseconds{});
        engine_ = std::move(engine);
        soundFontPath_ = std::move(font);
        return true;
    }

    if (!options_.audioFile.empty() &&
        fluid_settings_setstr(settings, "audio.file.name", options_.audioFile.c_str()) != FLUID_OK) {
        error = "シンセサイザーの音を「" + options_.audioFile.string() + "」に書き出せません。";
        return false;
    }
    std::string driverName;
    for (const std::string& name : DriversToTry(options_.audioDriver)) {
        if (fluid_settings_setstr(settings, "audio.driver", name.c_str()) != FLUID_OK) continue;
        // A JACK client is not connected to the speakers unless asked to be. A library built without
        // JACK has no such setting, and then no JACK driver to start either.
        if (name == "jack" && fluid_settings_setint(settings, "audio.jack.autoconnect", 1) != FLUID_OK)
            continue;
        const int period = PeriodFramesFor(name);
        std::string ignored;
        if (!SetInt(settings, "audio.period-size", period, ignored) ||
            !SetInt(settings, "audio.periods", synth_defaults::ServerPeriods, ignored))
            continue;
        engine->ownPulse = name == PulseDriver;
        engine->pulseOptions = {options_.sampleRate,
                                period,
                                synth_defaults::ServerPeriods,
                                synth_defaults::MostServerPeriods,
                                synth_defaults::BusyServerPeriods,
                                synth_defaults::BusyPressurePercent,
                                synth_defaults::ShrinkQueueAfter};
        const auto delay = engine->ownPulse
                               ? PulseOutputDelay(engine->pulseOptions, engine->pulseOptions.periods)
                               : DelayFor(period, options_.sampleRate);
        engine->renderer = std::make_unique<ScheduledRenderer>(*engine->block, options_.sampleRate, delay);
        if (engine->startDriver()) {
            driverName = name;
            break;
        }
    }
    if (!engine->streaming()) {
        if (!options_.audioDriver.empty()) {
            error =
                "音声出力 " + options_.audioDriver + " を始められません" +
                (options_.audioFile.empty() ? "" : "（書き出し先「" + options_.audioFile.string() + "」）") +
                "。";
        } else {
            error = std::string("音声出力を始められません（") + AudioDriverList +
                    " を試しました）。サウンドサーバーが動いていないか、サウンドデバイスがありません。";
        }
        return false;
    }
    engine->fontToLoad = font;
    engine->keepAwakeUntil = MidiClock::now() + synth_defaults::IdleAfter;
    try {
        Engine* e = engine.get();
        engine->worker = std::thread([e] {
            e->raiseAudioThread();
            e->serve();
        });
    } catch (const std::system_error& e) {
        error = std::string("シンセサイザーの読み込みスレッドを始められません（") + e.what() + "）。";
        return false;
    }
    engine_ = std::move(engine);
    soundFontPath_ = std::move(font);
    audioDriverName_ = std::move(driverName);
    return true;
}

void SynthOutput::send(ShortMessage message) {
    if (!engine_) return;
    (void)engine_->renderer->post(message, std::nullopt); // a full queue loses the note, as a device would
    if (options_.liveAudio) engine_->nudge(false);
}

void SynthOutput::sendAt(ShortMessage message, MidiClock::time_point due) {
    if (!engine_) return;
    (void)engine_->renderer->post(message, due);
    if (options_.liveAudio) engine_->nudge(false);
}

void SynthOutput::cancelScheduled() {
    if (engine_) engine_->renderer->cancelScheduled();
}

std::chrono::microseconds SynthOutput::outputDelay() const {
    return engine_ ? engine_->renderer->delay() : std::chrono::microseconds{};
}

void SynthOutput::wake() {
    if (!engine_ || !options_.liveAudio) return;
    Engine& e = *engine_;
    const std::uint64_t ticket = e.nudge(true);
    const auto settled =
        static_cast<std::int64_t>(options_.sampleRate * std::chrono::duration<double>(WakeSettle).count());
    const auto deadline = MidiClock::now() + WakeTimeout;
    while (MidiClock::now() < deadline &&
           !(e.running.load() && e.block->ready() &&
             e.wakesAnswered.load(std::memory_order_acquire) >= ticket &&
             e.renderer->streamFrames() >= (e.resumed.load(std::memory_order_relaxed) ? 1 : settled)))
        std::this_thread::sleep_for(WakePoll);
}

void SynthOutput::reset() {
    if (!engine_) return;
    (void)engine_->renderer->postAllSoundsOff();
    if (options_.liveAudio) engine_->nudge(false);
}

void SynthOutput::close() {
    engine_.reset();
    soundFontPath_.clear();
    audioDriverName_.clear();
}

bool SynthOutput::isOpen() const {
    return engine_ != nullptr;
}

bool SynthOutput::streamRunning() const {
    return engine_ && engine_->running.load();
}

bool SynthOutput::render(std::span<float> left, std::span<float> right) {
    if (!engine_ || options_.liveAudio || left.size() != right.size()) return false;
    engine_->renderer->render(MidiClock::now(), left, right);
    return true;
}

} // namespace orbel
