// The trainer played for hours: random catalogue items at tempo 300 with accompaniment and swing, items
// changed and stopped at random, as a musician practising all day would.
//
//     bench_soak [--virtual-hours h] [--real-minutes m] [--report-minutes r] [--seed n]
//
// Runs the trainer in this process (offscreen unless QT_QPA_PLATFORM says otherwise) on a copy of the built
// program folder, its MIDI going to a tap that keeps no messages. First `virtual-hours` (8 by default) on a
// virtual clock that jumps to every deadline, then `real-minutes` (60 by default) on the real clock. Every
// `report-minutes` (10) of the played time it prints resident memory, open handles, performances and
// messages, and how far from their due times the messages were handed over, on the clock the player keeps:
// median, 99th percentile and worst. A deadline chain that drifted would hand its messages over ever later,
// so a median that stays put from the first report to the last means no drift.
#include "printing_prompter.h"
#include "process_stats.h"
#include "program_copy.h"

#include "sound/deadline_clock.h"
#include "sound/midi_output.h"
#include "ui/main_mod.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <mutex>
#include <random>
#include <thread>

namespace orbel::bench {
namespace {

using namespace std::chrono;

constexpr int Tempo = 300;
constexpr int ShortestTurnSeconds = 20;
constexpr microseconds PaceEveryWake(50);
constexpr int LongestTurnSeconds = 120;

// Counts what the trainer sends and how far from its due time each scheduled message was handed over, in a
// histogram of fixed size, so that the tap itself does not grow over the hours.
class SoakTap final : public MidiOutput {
public:
    static constexpr int BinUs = 1;
    static constexpr int Bins = 100'000; // 1 µs bins up to 100 ms; later ones land in the last

    explicit SoakTap(std::function<MidiClock::time_point()> now) : now_(std::move(now)) {}
    bool open(std::string& /*error*/) override { return true; }
    void send(ShortMessage /*message*/) override { ++messages_; }
    void sendAt(ShortMessage /*message*/, MidiClock::time_point due) override {
        ++messages_;
        const std::int64_t off = std::llabs(duration_cast<microseconds>(now_() - due).count());
        const std::lock_guard lock(mutex_);
        ++histogram_[static_cast<std::size_t>(std::min<std::int64_t>(off / BinUs, Bins - 1))];
        worstOffUs_ = std::max(worstOffUs_, off);
    }
    void reset() override {}
    void close() override {}
    bool isOpen() const override { return true; }

    struct Figures {
        std::int64_t messages = 0;
        std::int64_t medianOffUs = 0;
        std::int64_t p99OffUs = 0;
        std::int64_t worstOffUs = 0;
    };
    // The figures since the last call.
    Figures take() {
        const std::lock_guard lock(mutex_);
        Figures f;
        f.messages = messages_.exchange(0);
        f.medianOffUs = quantileUs(0.5);
        f.p99OffUs = quantileUs(0.99);
        f.worstOffUs = worstOffUs_;
        histogram_.fill(0);
        worstOffUs_ = 0;
        return f;
    }

private:
    // The upper edge of the bin holding the given share of the offsets.
    std::int64_t quantileUs(double share) const {
        std::int64_t total = 0;
        for (const std::int64_t n : histogram_)
            total += n;
        if (total == 0) return 0;
        std::int64_t seen = 0;
        for (std::size_t bin = 0; bin < histogram_.size(); ++bin) {
            seen += histogram_[bin];
            if (static_cast<double>(seen) >= share * static_cast<double>(total))
                return static_cast<std::int64_t>(bin + 1) * BinUs;
        }
        return static_cast<std::int64_t>(Bins) * BinUs;
    }

    std::function<MidiClock::time_point()> now_;
    std::atomic<std::int64_t> messages_ = 0;
    std::mutex mutex_;
    std::array<std::int64_t, Bins> histogram_{};
    std::int64_t worstOffUs_ = 0;
};

// Plays for `minutes` of the given clock and reports every `reportMinutes`.
void Soak(const char* what, double minutes, double reportMinutes, bool realClock, unsigned seed) {
    QTemporaryDir folder;
    orbel::bench::CopyProgramFolder(folder);

    PrintingPrompter prompter;
    ManualClock* manual = nullptr;
    std::unique_ptr<DeadlineClock> clock;
    if (!realClock) {
        auto owned = std::make_unique<ManualClock>();
        manual = owned.get();
        clock = std::move(owned);
    }
    auto tapOwned = std::make_unique<SoakTap>([manual]() -> MidiClock::time_point {
        return manual != nullptr ? manual->peek() : MidiClock::now();
    });
    SoakTap& tap = *tapOwned;
    // The virtual clock jumps from deadline to deadline; the player's thread stops at the end of a turn and
    // gives the window's thread a moment at every wake, so that the window keeps up as it would in real time.
    std::atomic<std::int64_t> turnEndsUs = std::numeric_limits<std::int64_t>::max();
    std::atomic<BackgroundPlayer*> player = nullptr;
    if (manual != nullptr) {
        manual->setOnWake([manual, &turnEndsUs, &player] {
            std::this_thread::sleep_for(PaceEveryWake);
            BackgroundPlayer* p = player.load();
            if (p != nullptr &&
                duration_cast<microseconds>(manual->peek().time_since_epoch()).count() >= turnEndsUs)
                p->requestStop();
        });
    }
    std::unique_ptr<Trainer> trainer = Main(folder.path(), prompter, std::move(tapOwned), std::move(clock));
    if (!trainer) {
        std::fprintf(stderr, "the trainer did not start\n");
        return;
    }
    player = trainer->player.get();
    Settings& s = trainer->state.settings;
    s.RepeatOn = 1;
    s.RepeatCount = 4;
    s.RootProgression = 2; // on by fourths
    s.SwingOn = 1;
    s.ClickOn = 1;
    s.AccompanimentOn = 1;
    s.MelodyOn = 1;
    s.HideDemoOffer = 1;
    frmMain& window = *trainer->window;
    window.controls().tempoBar->setValue(Tempo);
    auto* studyTypes = window.findChild<QComboBox*>(QStringLiteral("Combo2"));
    auto* items = window.findChild<QComboBox*>(QStringLiteral("Combo1"));
    auto* play = window.findChild<QPushButton*>(QStringLiteral("Command5"));

    const auto wallStart = steady_clock::now();
    // Played time: the virtual clock's, or the wall's.
    auto played = [&] {
        return realClock ? duration<double, std::ratio<60>>(steady_clock::now() - wallStart).count()
                         : duration<double, std::ratio<60>>(manual->peek().time_since_epoch()).count();
    };
    const double startedAt = played();
    tap.take(); // the start-up's messages are not part of the first period
    auto report = [&](double at, int performances) {
        const SoakTap::Figures f = tap.take();
        std::printf("  %s %6.1f min: resident %.1f MiB, handles %d, performances %d, messages %lld, "
                    "handed over off the due time: median <%lld us, p99 <%lld us, max %lld us\n",
                    what, at - startedAt, ResidentMiB(), OpenHandles(), performances,
                    static_cast<long long>(f.messages), static_cast<long long>(f.medianOffUs),
                    static_cast<long long>(f.p99OffUs), static_cast<long long>(f.worstOffUs));
        std::fflush(stdout);
    };

    std::mt19937 random(seed);
    int performances = 0;
    report(startedAt, 0);
    double nextReport = startedAt + reportMinutes;
    while (played() - startedAt < minutes) {
        // A new item of a random study type, played until a random moment, then stopped.
        studyTypes->setCurrentIndex(std::uniform_int_distribution<int>(0, 3)(random));
        if (items->count() > 0)
            items->setCurrentIndex(std::uniform_int_distribution<int>(0, items->count() - 1)(random));
        play->click();
        ++performances;
        const double turnEnds =
            played() +
            std::uniform_int_distribution<int>(ShortestTurnSeconds, LongestTurnSeconds)(random) / 60.0;
        turnEndsUs = static_cast<std::int64_t>(turnEnds * 60e6);
        while (played() < turnEnds && trainer->player->busy()) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            if (realClock) std::this_thread::sleep_for(milliseconds(5));
            if (played() >= nextReport) {
                report(played(), performances);
                nextReport += reportMinutes;
            }
        }
        window.controls().stopButton->click();
        window.play().waitForPlayer();
        QApplication::processEvents();
    }
    report(played(), performances);
    if (manual != nullptr) manual->setOnWake({});
    window.close();
}

} // namespace
} // namespace orbel::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption virtualHours(QStringLiteral("virtual-hours"),
                                          QStringLiteral("hours on the virtual clock"), QStringLiteral("h"),
                                          QStringLiteral("8"));
    const QCommandLineOption realMinutes(QStringLiteral("real-minutes"),
                                         QStringLiteral("minutes on the real clock"), QStringLiteral("m"),
                                         QStringLiteral("60"));
    const QCommandLineOption reportMinutes(QStringLiteral("report-minutes"),
                                           QStringLiteral("minutes between reports"), QStringLiteral("r"),
                                           QStringLiteral("10"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("random seed"), QStringLiteral("n"),
                                  QStringLiteral("7"));
    parser.addOptions({virtualHours, realMinutes, reportMinutes, seed});
    parser.process(app);
    const double every = parser.value(reportMinutes).toDouble();
    const auto n = parser.value(seed).toUInt();
    std::printf(
        "Soak: random items at tempo %d with accompaniment and swing, changed and stopped at random\n",
        orbel::bench::Tempo);
    if (const double hours = parser.value(virtualHours).toDouble(); hours > 0)
        orbel::bench::Soak("virtual", hours * 60, every, false, n);
    if (const double minutes = parser.value(realMinutes).toDouble(); minutes > 0)
        orbel::bench::Soak("real   ", minutes, every, true, n);
    return 0;
}
