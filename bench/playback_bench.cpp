// How closely the player keeps time on the real clock while the window is busy, and what a listener hears.
//
//     bench_playback [--music seconds] [--clicks seconds] [--soundfont file] [--wav file] [--no-frames]
//
// 1. Through the recorder: the first four-bar phrase of ric.txt at tempo 300 with swing, click and
//    accompaniment, repeated for at least 60 s, while a window redraws a busy picture about every 16 ms and
//    the player's cursor calls paint on it. Every message is compared with the deadline of its tick on the
//    grid that starts at the restart and advances by the tick lengths; so is the moment of every wait's
//    yield to the window, which the timer puts ahead of the deadline when there is time for it. Once on
//    the timer as it is, once on a busy wait for comparison.
// 2. Through the built-in synthesizer with its `file` audio driver, which renders in real time in periods of
//    64 frames at 44.1 kHz, so the recording holds what a listener would hear: clicks only for 30 s. The
//    clicks are found in the recording and compared with their deadlines, the first click aligning the two
//    clocks.
#include "click_onsets.h"
#include "playback_load.h"
#include "spread.h"

#include "app/program_folder.h"
#include "app/program_state.h"
#include "app/prompter.h"
#include "app/study_items.h"
#include "sound/deadline_clock.h"
#include "sound/hi_delay.h"
#include "sound/midi1.h"
#include "sound/play_sled.h"
#include "sound/play_timing.h"
#include "sound/recording_output.h"
#include "sound/soundfont_locator.h"
#include "sound/synth_output.h"
#include "theory/accompaniment.h"
#include "theory/prepare_build.h"
#include "theory/timeline_build.h"
#include "theory/vocabulary.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace orbel::bench {
namespace {

using Steady = std::chrono::steady_clock;

namespace figures {
constexpr int Tempo = 300;
constexpr int SwingLevel = 1; // "標準": 70 : 30
constexpr int BeatsPerBar = 4;
constexpr int PhraseTicks = 4 * BeatsPerBar * play_timing::TicksPerBeat;
constexpr int ClickKey = 33; // ClickSound 0: a sharp attack, easy to find in the recording
constexpr double MusicSeconds = 60;
constexpr double ClickSeconds = 30;
constexpr double SampleRate = synth_defaults::SampleRate; // as the trainer plays
constexpr std::uint32_t AccompanimentSeed = 1;
// Targets: messages late by at most this much (µs), and the timer's share of one core (%).
constexpr double TargetP99Us = 500;
constexpr double TargetMaxUs = 2000;
constexpr double TargetCpuPercent = 5;
// Every click heard within this much of its deadline (ms).
constexpr double TargetHeardMs = 2;
// A click further than this from where it belongs (ms) was not heard at all.
constexpr double MatchWindowMs = 50;
} // namespace figures

// The real clock with sleeps that return at once: the timer then watches the clock the whole time.
class SpinningClock : public SteadyDeadlineClock {
public:
    void sleepUntil(TimePoint) override {}
};

class StderrPrompter : public Prompter {
public:
    void message(const QString& text, PromptIcon) override {
        std::fprintf(stderr, "message: %s\n", text.toLocal8Bit().constData());
    }
    bool askYesNo(const QString& text) override {
        std::fprintf(stderr, "question (answered no): %s\n", text.toLocal8Bit().constData());
        return false;
    }
};

// Sends every message to the recorder, which stamps it, and then to the output that plays it.
class TeeOutput final : public MidiOutput {
public:
    TeeOutput(std::unique_ptr<RecordingOutput> recorder, std::unique_ptr<MidiOutput> sound)
        : recorder_(std::move(recorder)), sound_(std::move(sound)) {}

    bool open(std::string& error) override { return recorder_->open(error) && sound_->open(error); }
    void send(ShortMessage message) override {
        recorder_->send(message);
        sound_->send(message);
    }
    void reset() override {
        recorder_->reset();
        sound_->reset();
    }
    void close() override {
        sound_->close();
        recorder_->close();
    }
    bool isOpen() const override { return recorder_->isOpen() && sound_->isOpen(); }

private:
    std::unique_ptr<RecordingOutput> recorder_;
    std::unique_ptr<MidiOutput> sound_;
};

std::int64_t SteadyMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(Steady::now().time_since_epoch()).count();
}

std::unique_ptr<RecordingOutput> MakeRecorder() {
    return std::make_unique<RecordingOutput>([] { return SteadyMicros(); });
}

struct CpuTimes {
    double process = 0; // seconds, every thread of the process (the synthesizer's included)
    double thread = 0;  // seconds, the thread that plays
    long preempted = 0; // times the thread that plays had to give way to another
};

double Seconds(const timeval& user, const timeval& system) {
    return static_cast<double>(user.tv_sec + system.tv_sec) +
           static_cast<double>(user.tv_usec + system.tv_usec) / 1e6;
}

std::optional<CpuTimes> ReadCpuTimes() {
    rusage self{};
    rusage thread{};
    if (::getrusage(RUSAGE_SELF, &self) != 0 || ::getrusage(RUSAGE_THREAD, &thread) != 0) return std::nullopt;
    return CpuTimes{Seconds(self.ru_utime, self.ru_stime), Seconds(thread.ru_utime, thread.ru_stime),
                    thread.ru_nivcsw};
}

std::string LoadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly)) return "unknown";
    return file.readLine().trimmed().toStdString();
}

// --- The study and its settings

// The switches of a performance at tempo 300 with swing and click; with clicksOnly the melody and the
// accompaniment are silent, so that nothing but the clicks is heard.
void SetUpSettings(Settings& s, bool clicksOnly) {
    s.StudyType = study_type::IIVIPhrase;
    s.RootKey = 0;
    s.Tempo = figures::Tempo;
    s.SwingOn = 1;
    s.SwingLevel = figures::SwingLevel;
    s.ClickOn = 1;
    s.ClickSound = 0;
    s.ClickVolume = 120;
    s.CountInOn = 0;
    s.RepeatOn = 1;
    s.MelodyOn = clicksOnly ? 0 : 1;
    s.AccompanimentOn = clicksOnly ? 0 : 1;
    s.MelodyProgram = 1;
    s.ChordProgram = 1;
    s.BassSound = 0;
    s.MelodyVolume = 100;
    s.ChordVolume = 80;
    s.BassVolume = 90;
    s.PitchBaseC = 36;
    ApplyLoadRules(s);
}

// Reads the factory phrases and selects the first four-bar phrase in 4/4; its name, or an error.
std::optional<std::string> SelectFourBarPhrase(ProgramState& state, std::string& error) {
    state.programFolder = ProgramFolder();
    InitIIVITables(state.iiviTables);
    const StudyItems items =
        LoadStudyItems(study_type::IIVIPhrase, state.settings, state.programFolder, state.study);
    for (const QString& message : items.messages)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    const PhraseList& phrases = state.study.phrases;
    auto& item = state.settings.StudyItem[static_cast<std::size_t>(study_type::IIVIPhrase)];
    for (int i = 0; i < phrases.count(); ++i) {
        item = static_cast<std::int16_t>(i);
        state.sequence = PlaySequence{};
        if (BuildSequenceForSelection(state.sequence, state.settings, state.study.catalogue, phrases,
                                      state.iiviTables, false))
            continue;
        if (state.sequence.BeatsPerBar == figures::BeatsPerBar &&
            SequenceTicks(state.sequence) == figures::PhraseTicks)
            return phrases.PhraseNames[static_cast<std::size_t>(i)];
    }
    error = "no four-bar phrase in 4/4 among the " + std::to_string(phrases.count()) + " phrases of " +
            state.programFolder.toStdString() + "/" + study_files::Phrases;
    return std::nullopt;
}

// --- One performance

struct Performance {
    int repetitions = 0;
    int messages = 0;
    std::vector<double> waitLateUs;         // per wait: its end after its deadline
    std::vector<double> messageLateUs;      // per message: sent after the deadline of its tick
    std::vector<double> clickLateUs;        // the same for the clicks alone
    std::vector<std::int64_t> clickIdealUs; // per click: the deadline of its tick
    std::vector<std::int64_t> clickSentUs;  // per click: when it was sent
    double wallSeconds = 0;
    CpuTimes cpu;
    LoadWindow::Work frames;
    LoadWindow::Work marks;
    LoadWindow::Work paints;
};

// How long the player waits after tick v of a play-through with swing on: the long half of the beat,
// then the short one.
int WaitAfterTick(int v, const TickLengths& lengths) {
    return v % play_timing::TicksPerBeat < play_timing::HalfBeatTicks ? lengths.swingLong
                                                                      : lengths.swingShort;
}

bool IsClick(ShortMessage m) {
    return StatusOf(m) == midi_bytes::NoteOn + midi_channels::Percussion && Data1Of(m) == figures::ClickKey &&
           Data2Of(m) > 0;
}

// Plays the selected phrase for at least `seconds` as the play button's repeat loop does (the variants
// alternating, one deadline chain from a single restart), with the window's frames running, and measures
// every message the recorder stamped against the grid of deadlines.
std::optional<Performance> Perform(ProgramState& state, DeadlineClock& clock,
                                   std::unique_ptr<MidiOutput> output, RecordingOutput& recorder,
                                   LoadWindow& window, double seconds, std::string& error) {
    StderrPrompter prompter;
    Midi1 midi(state.settings, prompter, std::move(output), std::nullopt);
    if (!midi.MidiOpen()) {
        error = midi.openError();
        return std::nullopt;
    }
    // When each wait yielded, and how many messages had been sent by then: every wait yields once, between
    // the messages of its tick and those of the next, so the messages after the k-th yield belong to tick
    // k + 1.
    std::vector<std::int64_t> waitEnds;
    std::vector<std::size_t> sentBefore;
    PlaySled sled(
        state, midi, clock,
        [&] {
            waitEnds.push_back(SteadyMicros());
            sentBefore.push_back(recorder.records().size());
            QCoreApplication::processEvents();
        },
        SeededRandom(figures::AccompanimentSeed));
    LoadHost host(window, state);
    sled.setViews(&host);

    midi.SendProgramChanges();
    sled.PlayTempo = state.settings.Tempo;
    sled.RebuildForPlay(rebuild_mode::BothVariants);
    const int length = sled.timeline().TimelineLength;
    const TickLengths lengths = TickLengthsFor(sled.PlayTempo, state.settings.SwingLevel);
    long long repetitionMs = 0;
    for (int v = 0; v < length; ++v)
        repetitionMs += WaitAfterTick(v, lengths);
    if (repetitionMs <= 0) {
        error = "the phrase has no length";
        return std::nullopt;
    }
    Performance result;
    result.repetitions = static_cast<int>(std::ceil(seconds * 1000 / static_cast<double>(repetitionMs)));
    const std::size_t waits = static_cast<std::size_t>(result.repetitions) * static_cast<std::size_t>(length);
    waitEnds.reserve(waits);
    sentBefore.reserve(waits);

    // The frames run for a while first, so that the performance meets them in their stride.
    window.startFrames();
    for (const auto settle = Steady::now() + std::chrono::milliseconds(100); Steady::now() < settle;)
        QCoreApplication::processEvents();
    waitEnds.clear();
    sentBefore.clear();
    recorder.clearRecords();
    window.resetCounts();
    const std::optional<CpuTimes> cpuBefore = ReadCpuTimes();

    const std::int64_t restart = SteadyMicros(); // the timer reads its clock right after this
    sled.HiDelay(hidelay::Restart);
    for (int k = 0; k < result.repetitions; ++k) {
        sled.ShowRepeatLabel(k + 1, result.repetitions);
        sled.PlaySound(k % timeline_limits::Variants);
    }

    const std::int64_t end = SteadyMicros();
    const std::optional<CpuTimes> cpuAfter = ReadCpuTimes();
    window.stopFrames();
    if (!cpuBefore || !cpuAfter) {
        error = "cannot read the processor time of the process";
        return std::nullopt;
    }
    if (waitEnds.size() != waits) {
        error = "the player waited " + std::to_string(waitEnds.size()) + " times instead of " +
                std::to_string(waits);
        return std::nullopt;
    }

    // The deadline of tick k of the whole performance: the restart plus the waits before it.
    std::vector<std::int64_t> deadline(waits + 1);
    deadline[0] = restart;
    for (std::size_t k = 0; k < waits; ++k)
        deadline[k + 1] = deadline[k] + 1000LL * WaitAfterTick(static_cast<int>(k % length), lengths);

    for (std::size_t k = 0; k < waits; ++k)
        result.waitLateUs.push_back(static_cast<double>(waitEnds[k] - deadline[k + 1]));
    const auto& records = recorder.records();
    for (std::size_t j = 0; j < records.size(); ++j) {
        const auto tick = static_cast<std::size_t>(std::upper_bound(sentBefore.begin(), sentBefore.end(), j) -
                                                   sentBefore.begin());
        const double late = static_cast<double>(records[j].micros - deadline[tick]);
        result.messageLateUs.push_back(late);
        if (IsClick(records[j].message)) {
            result.clickLateUs.push_back(late);
            result.clickIdealUs.push_back(deadline[tick]);
            result.clickSentUs.push_back(records[j].micros);
        }
    }
    result.messages = static_cast<int>(records.size());
    result.wallSeconds = static_cast<double>(end - restart) / 1e6;
    result.cpu = {cpuAfter->process - cpuBefore->process, cpuAfter->thread - cpuBefore->thread,
                  cpuAfter->preempted - cpuBefore->preempted};
    result.frames = window.frames();
    result.marks = window.marks();
    result.paints = window.paints();
    return result;
}

double Percent(double part, double whole) {
    return whole > 0 ? 100.0 * part / whole : 0.0;
}

void PrintSpreadRow(const char* name, const std::vector<double>& lateUs) {
    const Spread s = SpreadOf(lateUs);
    const auto over =
        std::count_if(lateUs.begin(), lateUs.end(), [](double late) { return late > figures::TargetP99Us; });
    std::printf("  %-30s %9.1f %9.1f %9.1f %6td of %zu\n", name, s.median, s.p99, s.max, over, lateUs.size());
}

void PrintSpreadHeader(const char* name) {
    std::printf("  %-30s %9s %9s %9s   over %.1f ms\n", name, "median", "p99", "max",
                figures::TargetP99Us / 1000);
}

double SecondsOf(const LoadWindow::Work& work) {
    return std::chrono::duration<double>(work.time).count();
}

// The average time of a piece of the window's work, in ms.
double AverageMs(const LoadWindow::Work& work) {
    return work.count > 0 ? 1000 * SecondsOf(work) / work.count : 0.0;
}

void PrintPerformance(const char* name, const Performance& p) {
    std::printf("%s: %d repetitions, %.1f s, %d messages\n", name, p.repetitions, p.wallSeconds, p.messages);
    std::printf("  window: %d frames of %.2f ms, %d paints of %.2f ms, %d marks of %.3f ms\n", p.frames.count,
                AverageMs(p.frames), p.paints.count, AverageMs(p.paints), p.marks.count, AverageMs(p.marks));
    PrintSpreadHeader("late by (us)");
    PrintSpreadRow("yields (<0: early)", p.waitLateUs);
    PrintSpreadRow("messages sent", p.messageLateUs);
    const Spread m = SpreadOf(p.messageLateUs);
    const double cpu = Percent(p.cpu.process, p.wallSeconds);
    const double drawing =
        Percent(SecondsOf(p.frames) + SecondsOf(p.marks) + SecondsOf(p.paints), p.wallSeconds);
    std::printf(
        "  processor: %.1f %% of one core (%.1f %% of it drawing, %.1f %% the rest); preempted %ld times\n",
        cpu, drawing, cpu - drawing, p.cpu.preempted);
    // The drawing is the load, not the player's: the processor target is for the rest.
    std::printf(
        "  targets: p99 <= %.0f us %s, max <= %.0f us %s, processor without the drawing <= %.0f %% %s\n\n",
        figures::TargetP99Us, Verdict(m.p99 <= figures::TargetP99Us), figures::TargetMaxUs,
        Verdict(m.max <= figures::TargetMaxUs), figures::TargetCpuPercent,
        Verdict(cpu - drawing <= figures::TargetCpuPercent));
}

// --- What a listener hears

// Each click against the onset nearest to where its reference time puts it, the clocks aligned on the first
// click (ms). A click with no onset near it was not heard and is left out.
std::vector<double> HeardErrors(const std::vector<std::int64_t>& referenceUs,
                                const std::vector<double>& onsets) {
    std::vector<double> errors;
    if (referenceUs.empty() || onsets.empty()) return errors;
    for (const std::int64_t reference : referenceUs) {
        const double expected = onsets.front() + static_cast<double>(reference - referenceUs.front()) / 1e6;
        const auto next = std::lower_bound(onsets.begin(), onsets.end(), expected);
        double nearest = next != onsets.end() ? *next : onsets.back();
        if (next != onsets.begin() && std::abs(*std::prev(next) - expected) < std::abs(nearest - expected))
            nearest = *std::prev(next);
        const double errorMs = (nearest - expected) * 1000;
        if (std::abs(errorMs) <= figures::MatchWindowMs) errors.push_back(errorMs);
    }
    return errors;
}

void PrintHeardRow(const char* name, const std::vector<double>& errorsMs, double shift) {
    std::vector<double> magnitudes;
    double earliest = 0;
    double latest = 0;
    int outside = 0;
    for (const double e : errorsMs) {
        const double shifted = e - shift;
        magnitudes.push_back(std::abs(shifted));
        earliest = std::min(earliest, shifted);
        latest = std::max(latest, shifted);
        if (std::abs(shifted) > figures::TargetHeardMs) ++outside;
    }
    const Spread s = SpreadOf(magnitudes);
    std::printf("  %-32s %7.2f %7.2f %7.2f   %+6.2f .. %+5.2f   %d\n", name, s.median, s.p99, s.max, earliest,
                latest, outside);
}

bool ListenToClicks(ProgramState& state, LoadWindow& window, const std::filesystem::path& soundFont,
                    const std::filesystem::path& wavFile, double seconds) {
    SynthOptions options;
    options.soundFont = soundFont;
    options.audioDriver = "file";
    options.audioFile = wavFile;
    options.sampleRate = figures::SampleRate;
    auto recorder = MakeRecorder();
    RecordingOutput& stamps = *recorder;
    auto output = std::make_unique<TeeOutput>(std::move(recorder), std::make_unique<SynthOutput>(options));

    SteadyDeadlineClock clock;
    std::string error;
    // The synthesizer closes, and its recording is complete, when the performance is over.
    const std::optional<Performance> p =
        Perform(state, clock, std::move(output), stamps, window, seconds, error);
    if (!p) {
        std::fprintf(stderr, "the synthesizer run failed: %s\n", error.c_str());
        return false;
    }
    const std::optional<AudioLevels> audio = ReadWavLevels(wavFile, error);
    if (!audio) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    const std::vector<double> onsets = FindOnsets(*audio);
    const std::vector<double> heard = HeardErrors(p->clickIdealUs, onsets);
    const std::vector<double> afterSending = HeardErrors(p->clickSentUs, onsets);

    std::printf("Clicks through the synthesizer (%s, file driver, %d-frame periods at %.0f Hz, %s)\n",
                soundFont.filename().c_str(), synth_defaults::PeriodFrames, figures::SampleRate,
                wavFile.c_str());
    std::printf("  %d repetitions, %.1f s; %zu clicks sent, %zu heard, %zu onsets in the recording\n",
                p->repetitions, p->wallSeconds, p->clickIdealUs.size(), heard.size(), onsets.size());
    PrintSpreadHeader("clicks sent late by (us)");
    PrintSpreadRow("", p->clickLateUs);
    std::printf("  %-32s %7s %7s %7s   %-15s %s\n", "heard - deadline (ms)", "median", "p99", "max", "range",
                "over 2 ms");
    PrintHeardRow("first click aligned", heard, 0);
    // The first click's own place within its audio period shifts every other; the median shows the spread
    // without that accident.
    PrintHeardRow("median aligned", heard, SpreadOf(heard).median);
    // Against the moment each click was sent: the audio path alone.
    PrintHeardRow("heard - sent, median aligned", afterSending, SpreadOf(afterSending).median);
    const double cpu = Percent(p->cpu.process, p->wallSeconds);
    std::printf(
        "  processor: %.1f %% of one core with the synthesis, %.1f %% the playing thread; preempted %ld "
        "times\n",
        cpu, Percent(p->cpu.thread, p->wallSeconds), p->cpu.preempted);
    // A constant delay of the audio path is no lateness to a player keeping time with it: the target is
    // judged with the clicks aligned on their median, so that what counts is how evenly they come.
    const bool allHeard = heard.size() == p->clickIdealUs.size() && !heard.empty();
    const double median = SpreadOf(heard).median;
    double worst = 0;
    for (const double e : heard)
        worst = std::max(worst, std::abs(e - median));
    std::printf("  target: every click heard within %.0f ms of its deadline (median aligned) %s\n\n",
                figures::TargetHeardMs, Verdict(allHeard && worst <= figures::TargetHeardMs));
    return true;
}

struct Options {
    double musicSeconds = figures::MusicSeconds;
    double clickSeconds = figures::ClickSeconds;
    std::filesystem::path soundFont; // empty: the system's General MIDI SoundFont
    std::filesystem::path wavFile;   // empty: a temporary file
    bool frames = true;
};

// Reads the command line; nothing (after printing why) when it makes no sense.
std::optional<Options> ParseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays a four-bar phrase at tempo 300 on the real clock while a window keeps the message loop busy, "
        "and measures how late the messages and the heard clicks are."));
    parser.addHelpOption();
    const QCommandLineOption music(QStringLiteral("music"),
                                   QStringLiteral("Seconds of music for each recorder run (60)."),
                                   QStringLiteral("seconds"));
    const QCommandLineOption clicks(QStringLiteral("clicks"),
                                    QStringLiteral("Seconds of clicks for the synthesizer run (30)."),
                                    QStringLiteral("seconds"));
    const QCommandLineOption soundFont(QStringLiteral("soundfont"),
                                       QStringLiteral("The SoundFont to play the clicks with."),
                                       QStringLiteral("file"));
    const QCommandLineOption wav(QStringLiteral("wav"),
                                 QStringLiteral("Keep the recorded clicks in this file."),
                                 QStringLiteral("file"));
    const QCommandLineOption noFrames(QStringLiteral("no-frames"),
                                      QStringLiteral("No full redraws, only the player's cursor marks."));
    parser.addOptions({music, clicks, soundFont, wav, noFrames});
    parser.process(app);

    Options options;
    const auto seconds = [&](const QCommandLineOption& option, double& value) {
        if (!parser.isSet(option)) return true;
        bool ok = false;
        value = parser.value(option).toDouble(&ok);
        if (ok && value > 0) return true;
        std::fprintf(stderr, "--%s wants a number of seconds above 0\n",
                     option.names().front().toUtf8().constData());
        return false;
    };
    if (!seconds(music, options.musicSeconds) || !seconds(clicks, options.clickSeconds)) return std::nullopt;
    options.soundFont = parser.value(soundFont).toStdString();
    options.wavFile = parser.value(wav).toStdString();
    options.frames = !parser.isSet(noFrames);
    return options;
}

int Main(int argc, char** argv) {
    // The picture is drawn off screen unless a display is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::optional<Options> options = ParseOptions(app);
    if (!options) return 2;
    if (options->soundFont.empty()) {
        const auto found = FindGeneralMidiSoundFont();
        if (!found) {
            std::fprintf(stderr, "no SoundFont in %s\n", soundfonts::SystemFolder);
            return 1;
        }
        options->soundFont = *found;
    }
    QTemporaryDir scratch;
    if (options->wavFile.empty()) {
        if (!scratch.isValid()) {
            std::fprintf(stderr, "cannot make a temporary folder\n");
            return 1;
        }
        options->wavFile = scratch.filePath(QStringLiteral("clicks.wav")).toStdString();
    }

    ProgramState state;
    SetUpSettings(state.settings, false);
    std::string error;
    const std::optional<std::string> phrase = SelectFourBarPhrase(state, error);
    if (!phrase) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    LoadWindow window;
    window.setFramesEnabled(options->frames);
    window.show();
    QCoreApplication::processEvents();

    SteadyDeadlineClock steady;
    SpinningClock spinning;
    const TickLengths lengths = TickLengthsFor(figures::Tempo, figures::SwingLevel);
    std::printf("load average before: %s\n", LoadAverage().c_str());
    std::printf("phrase %s, tempo %d (ticks of %d ms; swing %d + %d ms), accompaniment, click; precise "
                "wake-ups: %s\n",
                phrase->c_str(), figures::Tempo, lengths.tick, lengths.swingLong, lengths.swingShort,
                steady.preciseWakeups() ? "yes" : "no");
    if (options->frames) {
        std::printf(
            "window load: a %dx%d picture of %d lines and %d texts redrawn every %d ms, cursor marks\n\n",
            load::Width, load::Height, load::LinesPerFrame, load::TextsPerFrame, load::FrameMs);
    } else {
        std::printf("window load: cursor marks only\n\n");
    }

    struct Run {
        const char* name;
        DeadlineClock& clock;
    };
    const std::vector<Run> runs = {
        {"Recorder, the timer (sleep, then spin)", steady},
        {"Recorder, busy wait", spinning},
    };
    for (const Run& run : runs) {
        auto recorder = MakeRecorder();
        RecordingOutput& stamps = *recorder;
        const auto p =
            Perform(state, run.clock, std::move(recorder), stamps, window, options->musicSeconds, error);
        if (!p) {
            std::fprintf(stderr, "%s failed: %s\n", run.name, error.c_str());
            return 1;
        }
        PrintPerformance(run.name, *p);
    }

    SetUpSettings(state.settings, true);
    if (!ListenToClicks(state, window, options->soundFont, options->wavFile, options->clickSeconds)) return 1;
    std::printf("load average after: %s\n", LoadAverage().c_str());
    return 0;
}

} // namespace
} // namespace orbel::bench

int main(int argc, char** argv) {
    return orbel::bench::Main(argc, argv);
}
