// How steadily the built-in synthesizer keeps time as a listener hears it.
//
//     bench_audio_timing [--seconds s] [--load] [--player] [--file-driver] [--soundfont file]
//
// Plays the first II-V-I phrase (study 3, item 0) at tempo 300 with click, melody and accompaniment for
// `seconds` (120 by default): the trainer's own messages, recorded from its player, are handed to the
// synthesizer by a thread of their own that waits for each message's time and calls sendAt, as the player
// does. The sound goes to a PulseAudio null sink whose monitor is recorded (a PulseAudio daemon is started
// when none runs); without PulseAudio, FluidSynth's file driver writes it, paced in real time. The click
// plays at full volume and the rest so softly that the clicks stand out in the recording, with as many voices
// as ever; the intervals between them are compared with the intervals between their due times.
// --load runs two processes spinning on every core meanwhile.
// Also printed: the output delay, and the processor time of this process and of the sound server while
// playing and once the stream is idle.
//
//     bench_audio_timing --first-sound [--presses n] [--idle s]
//
// How soon the first sound after a silence is heard: the processor time of this process and the sound
// server over 20 s of idleness, then `presses` times (10 by default) a wait of `idle` seconds (10) and a
// press, alternately a key of the keyboard (a note sent at once) and the play button (the stream woken,
// then a note due at that moment), each timed from the press to its onset in the recording of the null
// sink. The recording's clock is read from its file as it grows (see RecordingClock).
#include "click_onsets.h"
#include "spread.h"

#include "app/prompter.h"
#include "export/export_build.h"
#include "export/play_recording.h"
#include "sound/background_player.h"
#include "sound/deadline_clock.h"
#include "sound/live_settings.h"
#include "sound/midi1.h"
#include "sound/midi_port.h"
#include "sound/realtime_priority.h"
#include "sound/synth_output.h"
#include "ui/queued_player_events.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace orbel::bench {
namespace {

using Steady = std::chrono::steady_clock;

namespace figures {
constexpr int Study = 3;
constexpr int Item = 0;
constexpr double DefaultSeconds = 120;
constexpr const char* SinkName = "orbel_timing";
// Targets for the interval between two clicks as heard against the interval between their due times (ms).
constexpr double TargetP99Ms = 0.2;
constexpr double TargetMaxMs = 0.5;
constexpr double TargetIdleCpuPercent = 1.0;
// A click further than this from where the one before it puts it was not heard (ms).
constexpr double MatchWindowMs = 20;
// The sender sleeps to this long before a message's time and spins the rest.
constexpr auto SpinAhead = std::chrono::microseconds(1000);
// The performance starts this long after the stream was woken.
constexpr auto Lead = std::chrono::milliseconds(300);
constexpr double IdleMeasureSeconds = 5;
constexpr double ClickThreshold = 0.3;
// With --first-sound: a wood block at full strength has a sharp onset; the figures it is held to.
constexpr int PressKey = 76;
constexpr int PressVelocity = 127;
constexpr int DefaultPresses = 10;
constexpr double DefaultIdleSeconds = 10;
constexpr double IdleCpuSeconds = 20;
constexpr double TargetFirstSoundMs = 50;
// How long around a press the recording is watched, how often, and how long a press may take to be heard.
// The recorder asks for no latency of its own, as a plain parec does, so that it does not change how often
// the sink runs; an idle null sink then renders this far ahead.
constexpr double SinkRunsAhead = 2.1;
constexpr auto WatchBefore = std::chrono::milliseconds(100);
constexpr auto ReferenceAfter = std::chrono::milliseconds(700);
constexpr auto WatchAfter = std::chrono::milliseconds(1500);
constexpr auto WatchPoll = std::chrono::microseconds(200);
constexpr double HeardWithinSeconds = 3;
// With --player: the root moves a fourth at every pass, and the window's thread stalls now and then.
constexpr int FourthUp = 5;
constexpr auto StallEvery = std::chrono::milliseconds(1000);
constexpr auto Stall = std::chrono::milliseconds(30);
} // namespace figures

double CpuSecondsOfSelf(int who) {
    rusage r{};
    if (::getrusage(who, &r) != 0) return 0;
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// utime + stime of another process, from /proc; nothing when it cannot be read.
std::optional<double> CpuSecondsOf(qint64 pid) {
    if (pid <= 0) return std::nullopt;
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray text = file.readAll();
    const auto close = text.lastIndexOf(')');
    if (close < 0) return std::nullopt;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    // After the name: state is field 3, utime 14 and stime 15 (counting from 1 over the whole line).
    if (fields.size() < 13) return std::nullopt;
    const double ticks = static_cast<double>(::sysconf(_SC_CLK_TCK));
    return (fields[11].toDouble() + fields[12].toDouble()) / ticks;
}

// A process whose name is `name`, read from /proc (only to watch it).
qint64 FindProcess(const QStringList& names) {
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number) continue;
        QFile comm(QStringLiteral("/proc/%1/comm").arg(entry));
        if (comm.open(QIODevice::ReadOnly) && names.contains(QString::fromUtf8(comm.readAll().trimmed())))
            return pid;
    }
    return 0;
}

// Threads of this process that run with a real-time policy.
int RealtimeThreads() {
    int count = 0;
    const QStringList tasks =
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& task : tasks) {
        QFile file(QStringLiteral("/proc/self/task/%1/stat").arg(task));
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = file.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        // policy is field 41 of the line.
        if (fields.size() > 38 && fields[38].toInt() != 0) ++count;
    }
    return count;
}

bool Run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return false;
    if (output != nullptr) *output = process.readAllStandardOutput();
    return true;
}

// A PulseAudio server with a null sink to play into, for as long as this lives. A server that already
// runs is used; otherwise one is started and stopped again.
class PulseRig {
public:
    bool start(std::string& why) {
        if (QStandardPathsFind("pactl").isEmpty() || QStandardPathsFind("parec").isEmpty()) {
            why = "pactl or parec is missing (Debian: pulseaudio-utils)";
            return false;
        }
        if (!Run(QStringLiteral("pactl"), {QStringLiteral("info")})) {
            if (QStandardPathsFind("pulseaudio").isEmpty()) {
                why = "no PulseAudio server runs and pulseaudio is not installed";
                return false;
            }
            server_.start(QStringLiteral("pulseaudio"),
                          {QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                           QStringLiteral("-n"), QStringLiteral("--load=module-native-protocol-unix"),
                           QStringLiteral("--load=module-suspend-on-idle")});
            if (!server_.waitForStarted(5000)) {
                why = "pulseaudio could not be started";
                return false;
            }
            for (int i = 0; i < 50 && !Run(QStringLiteral("pactl"), {QStringLiteral("info")}); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        QByteArray index;
        if (!Run(QStringLiteral("pactl"),
                 {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                  QStringLiteral("sink_name=%1").arg(QLatin1String(figures::SinkName)),
                  QStringLiteral("rate=48000"), QStringLiteral("channels=2")},
                 &index)) {
            why = "the null sink could not be loaded";
            return false;
        }
        module_ = QString::fromUtf8(index.trimmed());
        serverPid_ = server_.state() == QProcess::Running ? server_.processId() : RunningServer();
        return true;
    }

    ~PulseRig() {
        stopRecording();
        if (!module_.isEmpty()) Run(QStringLiteral("pactl"), {QStringLiteral("unload-module"), module_});
        if (server_.state() == QProcess::Running) {
            server_.terminate();
            if (!server_.waitForFinished(3000)) server_.kill();
        }
    }

    // latencyMs 0: none asked for, and the sink keeps its own pace.
    bool startRecording(const QString& file, int latencyMs = 20) {
        recorder_.setStandardOutputFile(file);
        QStringList arguments{QStringLiteral("--raw"),
                              QStringLiteral("-d"),
                              QStringLiteral("%1.monitor").arg(QLatin1String(figures::SinkName)),
                              QStringLiteral("--format=s16le"),
                              QStringLiteral("--rate=48000"),
                              QStringLiteral("--channels=2")};
        if (latencyMs > 0) arguments << QStringLiteral("--latency-msec=%1").arg(latencyMs);
        recorder_.start(QStringLiteral("parec"), arguments);
        return recorder_.waitForStarted(5000);
    }

    void stopRecording() {
        if (recorder_.state() != QProcess::Running) return;
        recorder_.terminate();
        if (!recorder_.waitForFinished(3000)) recorder_.kill();
    }

    qint64 serverPid() const { return serverPid_; }

private:
    static QString QStandardPathsFind(const char* name) {
        for (const QString& dir : qEnvironmentVariable("PATH").split(QLatin1Char(':'))) {
            const QString path = dir + QLatin1Char('/') + QLatin1String(name);
            if (QFile::exists(path)) return path;
        }
        return {};
    }

    // The server this session's clients reach: the one whose runtime folder holds its process id, else
    // the first found by name.
    static qint64 RunningServer() {
        QFile pid(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse/pid"));
        bool number = false;
        if (pid.open(QIODevice::ReadOnly)) {
            const qint64 id = pid.readAll().trimmed().toLongLong(&number);
            if (number && id > 0) return id;
        }
        return FindProcess({QStringLiteral("pulseaudio"), QStringLiteral("pipewire-pulse")});
    }

    QProcess server_;
    QProcess recorder_;
    QString module_;
    qint64 serverPid_ = 0;
};

// Processes that spin on every core, for as long as this lives.
class Spinners {
public:
    explicit Spinners(int count) {
        for (int i = 0; i < count; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                volatile unsigned long n = 0;
                while (true)
                    n = n + 1;
            }
            if (pid > 0) pids_.push_back(pid);
        }
    }
    ~Spinners() {
        for (const pid_t pid : pids_)
            ::kill(pid, SIGKILL);
        for (const pid_t pid : pids_)
            ::waitpid(pid, nullptr, 0);
    }
    Spinners(const Spinners&) = delete;
    Spinners& operator=(const Spinners&) = delete;

private:
    std::vector<pid_t> pids_;
};

// The levels of a raw recording of 16-bit stereo frames: the louder channel of each frame.
std::optional<AudioLevels> ReadLevels(const QString& file, double rate, std::string& error) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        error = "cannot read the recording " + file.toStdString();
        return std::nullopt;
    }
    const QByteArray bytes = in.readAll();
    AudioLevels audio;
    audio.sampleRate = rate;
    audio.level.reserve(static_cast<std::size_t>(bytes.size() / 4));
    for (qsizetype at = 0; at + 4 <= bytes.size(); at += 4) {
        float loudest = 0;
        for (qsizetype c = 0; c < 4; c += 2) {
            const auto low = static_cast<std::uint8_t>(bytes[at + c]);
            const auto high = static_cast<std::uint8_t>(bytes[at + c + 1]);
            const auto sample = static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8U)));
            loudest = std::max(loudest, std::fabs(static_cast<float>(sample) / 32768.0F));
        }
        audio.level.push_back(loudest);
    }
    return audio;
}

// Each click's place in the recording (seconds), matched by its due time once the first click has
// aligned the two; a click not found is nothing. The first click is whichever of the first few onsets lets
// the most clicks be found, so that a pop before the music does not throw the rest off.
std::vector<std::optional<double>> MatchClicks(const std::vector<double>& dueSeconds,
                                               const std::vector<double>& onsets) {
    std::vector<std::optional<double>> best(dueSeconds.size());
    if (dueSeconds.empty() || onsets.empty()) return best;
    std::size_t bestFound = 0;
    constexpr std::size_t Candidates = 5;
    for (std::size_t first = 0; first < std::min(Candidates, onsets.size()); ++first) {
        std::vector<std::optional<double>> heard(dueSeconds.size());
        const double offset = onsets[first] - dueSeconds.front();
        std::size_t next = 0;
        std::size_t found = 0;
        // Each click is looked for where the one before it was heard, plus the interval between their due
        // times: the sound server's clock may drift from the system's over minutes.
        double lastHeard = onsets[first];
        double lastDue = dueSeconds.front();
        for (std::size_t k = 0; k < dueSeconds.size(); ++k) {
            const double expected = k == 0 ? dueSeconds[k] + offset : lastHeard + (dueSeconds[k] - lastDue);
            while (next < onsets.size() && onsets[next] < expected - figures::MatchWindowMs / 1000)
                ++next;
            if (next < onsets.size() && std::fabs(onsets[next] - expected) <= figures::MatchWindowMs / 1000) {
                heard[k] = onsets[next];
                lastHeard = onsets[next];
                lastDue = dueSeconds[k];
                ++found;
            }
        }
        if (found > bestFound) {
            bestFound = found;
            best = std::move(heard);
        }
    }
    return best;
}

bool IsClick(ShortMessage m) {
    return StatusOf(m) == midi_bytes::NoteOn + midi_channels::Percussion && Data2Of(m) > 0;
}

struct Options {
    double seconds = figures::DefaultSeconds;
    bool firstSound = false;
    int presses = figures::DefaultPresses;
    double idleSeconds = figures::DefaultIdleSeconds;
    bool load = false;
    bool fileDriver = false;
    QString soundFont;
    QString recording;   // where to keep the recording; a temporary file when empty
    bool player = false; // the trainer's own player on its thread, instead of replayed messages
};

// HOT1 at tempo 300 with click and accompaniment, as the trainer builds it from its program folder.
std::optional<exporter::ExportBuild> TrainerBuild(std::string& error) {
    exporter::ExportOptions options;
    options.home = QCoreApplication::applicationDirPath();
    options.study = figures::Study;
    options.item = figures::Item;
    options.root = 0;
    options.format = exporter::Format::Midi;
    options.assignments = {"Tempo=300",         "ClickOn=1",   "ClickSound=0",   "ClickVolume=127",
                           "AccompanimentOn=1", "MelodyOn=1",  "MelodyVolume=8", "ChordVolume=8",
                           "BassVolume=10",     "CountInOn=0", "RepeatOn=1",     "PitchBaseC=36",
                           "RepeatCount=1"};
    exporter::ExportBuild build = exporter::BuildForExport(options);
    if (build.badSet || build.refusal) {
        error = build.badSet ? build.badSet->toStdString() : *build.refusal;
        return std::nullopt;
    }
    return build;
}

std::optional<std::vector<RecordingOutput::Record>> TrainerMessages(double seconds, std::string& error) {
    const std::optional<exporter::ExportBuild> built = TrainerBuild(error);
    if (!built) return std::nullopt;
    const exporter::ExportBuild& build = *built;
    exporter::MidiOptions once;
    const exporter::Performance first = exporter::RecordPerformance(build, build.settings, once);
    const double passSeconds = static_cast<double>(first.end - first.playStart) / 1e6;
    if (passSeconds <= 0) {
        error = "the phrase has no length";
        return std::nullopt;
    }
    exporter::MidiOptions repeated;
    repeated.repeats = std::clamp(static_cast<int>(std::ceil(seconds / passSeconds)), 1,
                                  exporter::midi_defaults::MaxRepeats);
    exporter::Performance performance = exporter::RecordPerformance(build, build.settings, repeated);
    std::vector<RecordingOutput::Record> records;
    const auto end = performance.playStart + static_cast<std::int64_t>(seconds * 1e6);
    for (const auto& r : performance.records) {
        if (r.micros > end) break;
        records.push_back(r);
    }
    // Everything ends at the end.
    for (int channel = 0; channel < midi_bytes::Channels; ++channel) {
        RecordingOutput::Record last{};
        last.micros = end;
        last.message =
            PackShortMessage(midi_bytes::ControlChange + channel, midi_bytes::ControllerAllNotesOff, 0);
        records.push_back(last);
    }
    return records;
}

struct Played {
    std::vector<double> clickDueSeconds; // from the first message's due time
    double wallSeconds = 0;
    double processCpu = 0;
    double senderCpu = 0;
    std::optional<double> serverCpu;
    bool senderRealtime = false;
    double worstSendLateUs = 0;
};

Played Play(SynthOutput& synth, const std::vector<RecordingOutput::Record>& records, qint64 serverPid) {
    Played played;
    const double cpuBefore = CpuSecondsOfSelf(RUSAGE_SELF);
    const std::optional<double> serverBefore = CpuSecondsOf(serverPid);
    const auto wallBefore = Steady::now();
    std::thread sender([&] {
        played.senderRealtime = RequestRealtimePriority(realtime::PlayerPriority);
        const double threadBefore = CpuSecondsOfSelf(RUSAGE_THREAD);
        const auto start = Steady::now() + figures::Lead;
        const std::int64_t first = records.front().micros;
        for (const auto& r : records) {
            const auto due = start + std::chrono::microseconds(r.micros - first);
            std::this_thread::sleep_until(due - figures::SpinAhead);
            while (Steady::now() < due) {
            }
            played.worstSendLateUs =
                std::max(played.worstSendLateUs,
                         std::chrono::duration<double, std::micro>(Steady::now() - due).count());
            synth.sendAt(r.message, due);
            if (IsClick(r.message))
                played.clickDueSeconds.push_back(static_cast<double>(r.micros - first) / 1e6);
        }
        played.senderCpu = CpuSecondsOfSelf(RUSAGE_THREAD) - threadBefore;
    });
    sender.join();
    // The last notes and their release.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    played.wallSeconds = std::chrono::duration<double>(Steady::now() - wallBefore).count();
    played.processCpu = CpuSecondsOfSelf(RUSAGE_SELF) - cpuBefore;
    const std::optional<double> serverAfter = CpuSecondsOf(serverPid);
    if (serverBefore && serverAfter) played.serverCpu = *serverAfter - *serverBefore;
    return played;
}

// Hands every message on to the synthesizer and keeps the due time of every click.
class ClickTap final : public MidiOutput {
public:
    explicit ClickTap(SynthOutput& synth) : synth_(synth) {}
    bool open(std::string& /*error*/) override { return true; }
    void send(ShortMessage message) override { synth_.send(message); }
    void sendAt(ShortMessage message, MidiClock::time_point due) override {
        if (IsClick(message)) dues.push_back(due);
        synth_.sendAt(message, due);
    }
    void cancelScheduled() override { synth_.cancelScheduled(); }
    std::chrono::microseconds outputDelay() const override { return synth_.outputDelay(); }
    void wake() override { synth_.wake(); }
    void reset() override { synth_.reset(); }
    void close() override {}
    bool isOpen() const override { return true; }

    std::vector<MidiClock::time_point> dues; // the player's thread's, read once it has ended

private:
    SynthOutput& synth_;
};

class SilentPrompter final : public Prompter {
public:
    void message(const QString& text, PromptIcon /*icon*/) override {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
    bool askYesNo(const QString& /*text*/) override { return false; }
};

// The trainer's own player on its thread plays the item with the root moving a fourth at every pass, while
// this thread stands in for the window: it handles the player's notifications and stalls for 30 ms once a
// second, as a window busy repainting might.
Played PlayWithPlayer(SynthOutput& synth, const exporter::ExportBuild& build, double seconds,
                      qint64 serverPid) {
    Played played;
    StudyState study;
    study.settings = build.settings;
    study.study = build.data;
    study.sequence = build.seq;
    study.itemCount = build.data.phrases.count();
    InitIIVITables(study.iiviTables);

    auto tap = std::make_unique<ClickTap>(synth);
    ClickTap& clicks = *tap;
    SilentPrompter prompter;
    MidiPort port(prompter, std::move(tap), std::nullopt);
    port.open();
    LiveSettings live;
    live.publish(study.settings);
    PlayerEvents window;
    PlayerViews windowViews;
    QObject windowThread;
    QueuedPlayerEvents events(window, windowThread);
    QueuedPlayerViews views(windowViews, windowThread);
    SteadyDeadlineClock clock;
    BackgroundPlayer player(port, clock, live, events, views, true);

    QTimer stall;
    stall.setInterval(figures::StallEvery);
    QObject::connect(&stall, &QTimer::timeout, [] { std::this_thread::sleep_for(figures::Stall); });
    stall.start();

    const double cpuBefore = CpuSecondsOfSelf(RUSAGE_SELF);
    const std::optional<double> serverBefore = CpuSecondsOf(serverPid);
    const auto wallBefore = Steady::now();
    player.start(study, [](PlaySled& sled, PlayModes&) { sled.PlayRepeated(figures::FourthUp); });
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    // A stop forgets what has not sounded yet: the clicks due within the output delay are not heard.
    const auto stoppedAt = MidiClock::now();
    player.stopAndWait();
    stall.stop();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    played.wallSeconds = std::chrono::duration<double>(Steady::now() - wallBefore).count();
    played.processCpu = CpuSecondsOfSelf(RUSAGE_SELF) - cpuBefore;
    const std::optional<double> serverAfter = CpuSecondsOf(serverPid);
    if (serverBefore && serverAfter) played.serverCpu = *serverAfter - *serverBefore;
    played.senderRealtime = true;
    for (const MidiClock::time_point due : clicks.dues) {
        if (due + synth.outputDelay() >= stoppedAt) break;
        played.clickDueSeconds.push_back(std::chrono::duration<double>(due - clicks.dues.front()).count());
    }
    return played;
}

// Where the recording's frames fall on the steady clock. A frame that is in the file at time t was played
// into the sink at or before t, so t - frames / rate bounds the moment of frame 0 from below, and the
// smallest of many close looks meets it to within the sink's block. While no stream plays, an idle null
// sink renders seconds ahead at once and those looks come out seconds early; so only the looks after a
// sound was heard, while its stream plays, are taken, and only those close to one press, so that the sound
// server's clock drifting from the system's over minutes does not count.
class RecordingClock {
public:
    RecordingClock(std::filesystem::path file, double rate) : file_(std::move(file)), rate_(rate) {}

    // Looks at the file until `until`.
    void watch(Steady::time_point until) {
        while (Steady::now() < until) {
            std::error_code error;
            const auto bytes = std::filesystem::file_size(file_, error);
            if (!error && (looks_.empty() || looks_.back().bytes != bytes))
                looks_.push_back({Steady::now(), bytes});
            std::this_thread::sleep_for(figures::WatchPoll);
        }
    }
    // Forgets the looks so far, for the next press.
    void clear() { looks_.clear(); }
    // The recording's second at which `moment` falls, from the looks once the file held `fromSecond`;
    // nothing without such a look.
    std::optional<double> secondAt(Steady::time_point moment, double fromSecond) const {
        std::optional<Steady::time_point> zero;
        for (const Look& look : looks_) {
            const double frames = static_cast<double>(look.bytes / 4); // 16-bit stereo
            if (frames / rate_ < fromSecond) continue;
            const auto bound = look.at - std::chrono::duration_cast<Steady::duration>(
                                             std::chrono::duration<double>(frames / rate_));
            if (!zero || bound < *zero) zero = bound;
        }
        if (!zero) return std::nullopt;
        return std::chrono::duration<double>(moment - *zero).count();
    }

private:
    struct Look {
        Steady::time_point at;
        std::uintmax_t bytes;
    };
    std::filesystem::path file_;
    double rate_;
    std::vector<Look> looks_;
};

struct Press {
    bool play = false;          // the play button; else a key of the keyboard
    bool streamWasIdle = false; // the stream was not running at the press
    // From the press to the onset, placed against a reference note sent once the stream runs, which is
    // heard the output delay after it is due.
    std::optional<double> heardMs;
    // The reference note's own delay by the recording's clock, as a check on that clock.
    std::optional<double> referenceMs;
};

// A press after a silence, as the window makes it: a key sends its note at once; the play button wakes the
// stream and the player sends its first note due at once. A reference note follows while the stream runs.
// The recording is watched meanwhile and read back at once.
Press PressAfterIdle(SynthOutput& synth, RecordingClock& clock, const QString& recording, bool play) {
    Press press;
    press.play = play;
    const ShortMessage on = PackShortMessage(midi_bytes::NoteOn + midi_channels::Percussion,
                                             figures::PressKey, figures::PressVelocity);
    const ShortMessage off =
        PackShortMessage(midi_bytes::NoteOn + midi_channels::Percussion, figures::PressKey, 0);
    clock.clear();
    clock.watch(Steady::now() + figures::WatchBefore);
    press.streamWasIdle = !synth.streamRunning();
    const auto at = Steady::now();
    if (play) {
        synth.wake();
        synth.sendAt(on, Steady::now());
    } else {
        synth.send(on);
    }
    clock.watch(at + figures::ReferenceAfter);
    synth.send(off);
    const auto referenceAt = Steady::now();
    synth.sendAt(on, referenceAt);
    clock.watch(referenceAt + figures::WatchAfter);
    synth.send(off);

    std::string error;
    const auto audio = ReadLevels(recording, synth_defaults::SampleRate, error);
    // Looks taken while the idle sink ran ahead put the press late by up to its block (2 s), never early:
    // the first onset from that far before is the press's.
    const std::optional<double> rough = clock.secondAt(at, 0);
    if (!audio || !rough) return press;
    OnsetRule rule;
    rule.threshold = figures::ClickThreshold;
    const std::vector<double> onsets = FindOnsets(*audio, rule);
    const auto heard = std::find_if(onsets.begin(), onsets.end(),
                                    [&](double second) { return second >= *rough - figures::SinkRunsAhead; });
    if (heard == onsets.end() || std::next(heard) == onsets.end()) return press;
    const double reference = *std::next(heard);
    const double apart = std::chrono::duration<double>(referenceAt - at).count();
    // The reference plays the output delay after it is due; the press is placed by the same clock.
    const double delay = std::chrono::duration<double>(synth.outputDelay()).count();
    const double pressSecond = reference - delay - apart;
    if (*heard - pressSecond <= figures::HeardWithinSeconds) press.heardMs = (*heard - pressSecond) * 1000;
    if (const auto due = clock.secondAt(referenceAt, reference))
        press.referenceMs = (reference - *due) * 1000;
    return press;
}

void PrintPresses(const char* what, const std::vector<double>& ms, int missed) {
    const Spread spread = SpreadOf(ms);
    std::printf("  %s: median %.1f ms, max %.1f ms over %zu presses%s [target max <= %.0f ms %s]\n", what,
                spread.median, spread.max, ms.size(),
                missed > 0 ? (", " + std::to_string(missed) + " NOT HEARD").c_str() : "",
                figures::TargetFirstSoundMs,
                Verdict(missed == 0 && spread.max <= figures::TargetFirstSoundMs));
}

int FirstSoundMain(const Options& options) {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString recording =
        options.recording.isEmpty() ? dir.filePath(QStringLiteral("heard.raw")) : options.recording;
    std::string error;
    PulseRig pulse;
    if (!pulse.start(error)) {
        std::fprintf(stderr, "the first sound is measured through PulseAudio: %s\n", error.c_str());
        return 1;
    }
    ::setenv("PULSE_SINK", figures::SinkName, 1);
    SynthOptions synthOptions;
    if (!options.soundFont.isEmpty()) synthOptions.soundFont = options.soundFont.toStdString();
    synthOptions.audioDriver = "pulseaudio";
    SynthOutput synth(synthOptions);
    if (!synth.open(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    synth.wake();

    // Idle: nothing of ours should run, and the server should do next to nothing for us.
    const auto idleBy = Steady::now() + synth_defaults::IdleAfter + std::chrono::seconds(3);
    while (synth.streamRunning() && Steady::now() < idleBy)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const bool idle = !synth.streamRunning();
    const double selfBefore = CpuSecondsOfSelf(RUSAGE_SELF);
    const std::optional<double> serverBefore = CpuSecondsOf(pulse.serverPid());
    std::this_thread::sleep_for(std::chrono::duration<double>(figures::IdleCpuSeconds));
    const double selfIdle = (CpuSecondsOfSelf(RUSAGE_SELF) - selfBefore) / figures::IdleCpuSeconds * 100;
    const std::optional<double> serverAfter = CpuSecondsOf(pulse.serverPid());

    if (!pulse.startRecording(recording, 0)) {
        std::fprintf(stderr, "parec could not be started\n");
        return 1;
    }
    RecordingClock clock(recording.toStdString(), synth_defaults::SampleRate);
    std::vector<Press> presses;
    for (int i = 0; i < options.presses; ++i) {
        std::this_thread::sleep_for(std::chrono::duration<double>(options.idleSeconds));
        presses.push_back(PressAfterIdle(synth, clock, recording, i % 2 == 1));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    pulse.stopRecording();
    const std::chrono::microseconds delay = synth.outputDelay();
    synth.close();

    std::vector<double> keyMs;
    std::vector<double> playMs;
    int keyMissed = 0;
    int playMissed = 0;
    std::printf("First sound after %.0f s of silence, built-in synthesizer through a PulseAudio null sink; "
                "output delay %.2f ms\n",
                options.idleSeconds, static_cast<double>(delay.count()) / 1000);
    for (const Press& press : presses) {
        std::printf(
            "    %-4s (stream %s): %s", press.play ? "play" : "key", press.streamWasIdle ? "idle" : "running",
            press.heardMs ? (std::to_string(static_cast<int>(std::lround(*press.heardMs))) + " ms").c_str()
                          : "NOT HEARD");
        if (press.referenceMs)
            std::printf("   (reference by the recording's clock: %.0f ms)", *press.referenceMs);
        std::printf("\n");
        if (press.heardMs) {
            (press.play ? playMs : keyMs).push_back(*press.heardMs);
        } else {
            ++(press.play ? playMissed : keyMissed);
        }
    }
    PrintPresses("key, press to sound ", keyMs, keyMissed);
    PrintPresses("play, press to sound", playMs, playMissed);
    std::vector<double> all = keyMs;
    all.insert(all.end(), playMs.begin(), playMs.end());
    PrintPresses("all presses         ", all, keyMissed + playMissed);
    double idleTotal = selfIdle;
    std::printf("  CPU idle over %.0f s (stream %s): process %.2f %%", figures::IdleCpuSeconds,
                idle ? "idle" : "STILL RUNNING", selfIdle);
    if (serverBefore && serverAfter) {
        const double server = (*serverAfter - *serverBefore) / figures::IdleCpuSeconds * 100;
        idleTotal += server;
        std::printf(", sound server %.2f %%", server);
    }
    std::printf(" [target together <= %.0f %% %s]\n", figures::TargetIdleCpuPercent,
                Verdict(idleTotal <= figures::TargetIdleCpuPercent));
    return 0;
}

int Main(const Options& options) {
    if (options.firstSound) return FirstSoundMain(options);
    std::string error;
    const auto records = TrainerMessages(options.seconds, error);
    if (!records) {
        std::fprintf(stderr, "cannot build the performance: %s\n", error.c_str());
        return 1;
    }
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString recording =
        options.recording.isEmpty() ? dir.filePath(QStringLiteral("heard.raw")) : options.recording;

    std::optional<PulseRig> pulse;
    std::string pulseWhy = "asked for the file driver";
    if (!options.fileDriver) {
        pulse.emplace();
        if (!pulse->start(pulseWhy)) pulse.reset();
    }
    SynthOptions synthOptions;
    if (!options.soundFont.isEmpty()) synthOptions.soundFont = options.soundFont.toStdString();
    if (pulse) {
        ::setenv("PULSE_SINK", figures::SinkName, 1);
        synthOptions.audioDriver = "pulseaudio";
    } else {
        std::printf("PulseAudio not used (%s): FluidSynth's file driver, paced in real time.\n",
                    pulseWhy.c_str());
        synthOptions.audioDriver = "file";
        synthOptions.audioFile = (recording + QStringLiteral(".wav")).toStdString();
    }

    std::optional<Spinners> load;
    if (options.load) load.emplace(2 * static_cast<int>(std::thread::hardware_concurrency()));

    if (pulse && !pulse->startRecording(recording)) {
        std::fprintf(stderr, "parec could not be started\n");
        return 1;
    }
    const auto openStart = Steady::now();
    SynthOutput synth(synthOptions);
    if (!synth.open(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const double openMs = std::chrono::duration<double, std::milli>(Steady::now() - openStart).count();
    synth.wake();
    const double readyMs = std::chrono::duration<double, std::milli>(Steady::now() - openStart).count();
    const qint64 serverPid = pulse ? pulse->serverPid() : 0;

    const Played played = options.player
                              ? PlayWithPlayer(synth, *TrainerBuild(error), options.seconds, serverPid)
                              : Play(synth, *records, serverPid);
    const int realtimeThreads = RealtimeThreads();
    if (pulse) pulse->stopRecording();

    // Idle: once the stream is paused or released, nothing of ours should run.
    const auto releaseBy = Steady::now() + synth_defaults::IdleAfter + std::chrono::seconds(3);
    while (synth.streamRunning() && Steady::now() < releaseBy)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const bool idle = !synth.streamRunning();
    const double idleBefore = CpuSecondsOfSelf(RUSAGE_SELF);
    const std::optional<double> serverIdleBefore = CpuSecondsOf(serverPid);
    std::this_thread::sleep_for(std::chrono::duration<double>(figures::IdleMeasureSeconds));
    const double idleCpu = (CpuSecondsOfSelf(RUSAGE_SELF) - idleBefore) / figures::IdleMeasureSeconds * 100;
    const std::optional<double> serverIdleAfter = CpuSecondsOf(serverPid);
    const std::chrono::microseconds delay = synth.outputDelay();
    const std::string driverName = synth.audioDriverName();
    synth.close(); // the file driver finishes its file

    const auto audio = pulse ? ReadLevels(recording, synth_defaults::SampleRate, error)
                             : ReadWavLevels(synthOptions.audioFile, error);
    if (!audio) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    OnsetRule rule;
    rule.threshold = figures::ClickThreshold;
    // The clicks ring for a few milliseconds of every beat: the loudest thousandth of the recording is
    // their level, whatever single pop the stream's start may have made.
    rule.referenceQuantile = 0.999;
    const std::vector<double> onsets = FindOnsets(*audio, rule);
    const auto heard = MatchClicks(played.clickDueSeconds, onsets);
    std::vector<double> intervalErrorsMs;
    std::size_t found = 0;
    for (std::size_t k = 0; k < heard.size(); ++k) {
        if (heard[k]) ++found;
        if (k == 0 || !heard[k] || !heard[k - 1]) continue;
        const double heardInterval = *heard[k] - *heard[k - 1];
        const double dueInterval = played.clickDueSeconds[k] - played.clickDueSeconds[k - 1];
        intervalErrorsMs.push_back(std::fabs(heardInterval - dueInterval) * 1000);
    }
    const Spread spread = SpreadOf(intervalErrorsMs);
    if (std::getenv("ORBEL_BENCH_RESIDUALS") != nullptr) {
        for (std::size_t k = 0; k < heard.size(); ++k)
            if (heard[k] && heard[0])
                std::fprintf(
                    stderr, "%zu %.3f\n", k,
                    ((*heard[k] - *heard[0]) - (played.clickDueSeconds[k] - played.clickDueSeconds[0])) *
                        1000);
    }

    std::printf("Built-in synthesizer, %s driver, %.0f Hz%s\n", driverName.c_str(),
                synth_defaults::SampleRate,
                options.load ? ", with every core kept busy by two spinning processes each" : "");
    std::printf("  open %.1f ms, ready to play on time after %.1f ms; output delay %.2f ms\n", openMs,
                readyMs, static_cast<double>(delay.count()) / 1000);
    std::printf(
        "  %zu messages over %.1f s; sender at most %.0f us late; real-time threads: %d (sender %s)\n",
        records->size(), played.wallSeconds, played.worstSendLateUs, realtimeThreads,
        played.senderRealtime ? "yes" : "no");
    std::printf("  recording: %.1f s\n", static_cast<double>(audio->level.size()) / audio->sampleRate);
    std::printf("  clicks: %zu sent, %zu heard (%zu onsets in the recording)\n",
                played.clickDueSeconds.size(), found, onsets.size());
    std::printf("  click interval error (ms): p50 %.3f  p99 %.3f  max %.3f   [targets p99 <= %.1f %s, max <= "
                "%.1f %s]\n",
                spread.median, spread.p99, spread.max, figures::TargetP99Ms,
                Verdict(spread.p99 <= figures::TargetP99Ms), figures::TargetMaxMs,
                Verdict(spread.max <= figures::TargetMaxMs && found == heard.size()));
    const double playingCpu = played.processCpu / played.wallSeconds * 100;
    const double synthCpu = (played.processCpu - played.senderCpu) / played.wallSeconds * 100;
    std::printf("  CPU while playing: process %.1f %% of a core (sender thread's spin excluded: %.1f %%)",
                playingCpu, synthCpu);
    if (played.serverCpu) std::printf(", sound server %.1f %%", *played.serverCpu / played.wallSeconds * 100);
    std::printf("\n");
    double idleTotal = idleCpu;
    std::printf("  CPU idle (stream %s): process %.2f %%", idle ? "idle" : "STILL RUNNING", idleCpu);
    if (serverIdleBefore && serverIdleAfter) {
        const double server = (*serverIdleAfter - *serverIdleBefore) / figures::IdleMeasureSeconds * 100;
        idleTotal += server;
        std::printf(", sound server %.2f %%", server);
    }
    std::printf(" [target together <= %.0f %% %s]\n", figures::TargetIdleCpuPercent,
                Verdict(idleTotal <= figures::TargetIdleCpuPercent));
    return 0;
}

} // namespace
} // namespace orbel::bench

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Click timing of the built-in synthesizer as heard"));
    parser.addHelpOption();
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("How long to play."),
                                     QStringLiteral("seconds"), QStringLiteral("120"));
    const QCommandLineOption load(QStringLiteral("load"), QStringLiteral("Keep every core busy meanwhile."));
    const QCommandLineOption fileDriver(QStringLiteral("file-driver"),
                                        QStringLiteral("Use FluidSynth's file driver even with PulseAudio."));
    const QCommandLineOption recording(QStringLiteral("recording"),
                                       QStringLiteral("Keep the recording (raw 16-bit stereo) in this file."),
                                       QStringLiteral("file"));
    const QCommandLineOption soundFont(QStringLiteral("soundfont"), QStringLiteral("The SoundFont to play."),
                                       QStringLiteral("file"));
    const QCommandLineOption player(
        QStringLiteral("player"), QStringLiteral("Play with the trainer's own player on its thread, the root "
                                                 "moving a fourth at every pass, while this thread stalls "
                                                 "for 30 ms once a second."));
    const QCommandLineOption firstSound(
        QStringLiteral("first-sound"),
        QStringLiteral("Time the first sound after a silence, from the press to the onset heard, and the "
                       "processor time while idle."));
    const QCommandLineOption presses(QStringLiteral("presses"),
                                     QStringLiteral("With --first-sound: how many."), QStringLiteral("count"),
                                     QStringLiteral("10"));
    const QCommandLineOption idle(QStringLiteral("idle"),
                                  QStringLiteral("With --first-sound: the silence before each press."),
                                  QStringLiteral("seconds"), QStringLiteral("10"));
    parser.addOptions({seconds, load, fileDriver, soundFont, recording, player, firstSound, presses, idle});
    parser.process(app);
    orbel::bench::Options options;
    bool ok = false;
    options.seconds = parser.value(seconds).toDouble(&ok);
    if (!ok || options.seconds <= 1) {
        std::fprintf(stderr, "--seconds wants a number above 1\n");
        return 2;
    }
    options.load = parser.isSet(load);
    options.fileDriver = parser.isSet(fileDriver);
    options.player = parser.isSet(player);
    options.soundFont = parser.value(soundFont);
    options.recording = parser.value(recording);
    options.firstSound = parser.isSet(firstSound);
    options.presses = parser.value(presses).toInt(&ok);
    if (!ok || options.presses < 1) {
        std::fprintf(stderr, "--presses wants a whole number above 0\n");
        return 2;
    }
    options.idleSeconds = parser.value(idle).toDouble(&ok);
    if (!ok || options.idleSeconds < 0) {
        std::fprintf(stderr, "--idle wants a number of seconds\n");
        return 2;
    }
    return orbel::bench::Main(options);
}
