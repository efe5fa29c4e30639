// How steadily the real trainer keeps time as a listener hears it, on a desktop of its own.
//
//     bench_steady_time [--seconds s] [--warm-up s]
//
// Starts the built trainer on an Xvfb display with openbox and a PulseAudio null sink, plays clicks alone at
// tempo 300 (a first play of `warm-up` seconds, 20 by default, then the measured one of `seconds`, 60), and
// times each interval between two clicks in the recording of the sink against the steady beat. Three
// cases: at rest, with two busy loops per core, and with the File menu and the About box opened in turn
// every second. Printed for each: the interval error, the output delay the trainer kept and the load.

#include "desktop/steady_clicks.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>

namespace {

namespace figures {
constexpr double TargetP99Ms = 0.2;
constexpr double TargetMaxMs = 0.5;
} // namespace figures

const char* Verdict(bool met) {
    return met ? "met" : "NOT MET";
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Clicks at tempo 300 in the real trainer, timed as heard."));
    parser.addHelpOption();
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("Seconds measured (60)."),
                                     QStringLiteral("s"), QStringLiteral("60"));
    const QCommandLineOption warmUp(QStringLiteral("warm-up"),
                                    QStringLiteral("Seconds of the first play (20)."), QStringLiteral("s"),
                                    QStringLiteral("20"));
    parser.addOptions({seconds, warmUp});
    parser.process(app);
    const std::chrono::seconds playing(parser.value(seconds).toInt());
    const std::chrono::seconds first(parser.value(warmUp).toInt());

    using orbel::desktop::Disturbance;
    const struct {
        const char* name;
        Disturbance disturbance;
    } cases[] = {{"at rest", Disturbance::None},
                 {"two busy loops per core", Disturbance::BusyLoops},
                 {"menus and About box every second", Disturbance::MenusEverySecond}};
    bool allMet = true;
    for (const auto& c : cases) {
        orbel::desktop::Desktop desktop(1920, 1080);
        if (!desktop.ready()) {
            std::fprintf(stderr, "no test desktop: %s\n", desktop.problem().c_str());
            return 2;
        }
        std::string problem;
        const auto f = orbel::desktop::PlayClicks(desktop, c.disturbance, first, playing, problem);
        if (!f) {
            std::fprintf(stderr, "%s: %s\n", c.name, problem.c_str());
            return 2;
        }
        const bool met = f->p99 <= figures::TargetP99Ms && f->max <= figures::TargetMaxMs;
        allMet = allMet && met;
        std::printf(
            "%s:\n  %zu clicks, beat %.2f ms, shortest %.2f, longest %.2f ms\n"
            "  interval error (ms): p50 %.3f  p99 %.3f  max %.3f   [targets p99 <= %.1f, max <= %.1f: %s]\n"
            "  output delay %s; load average %s"
            "  machine stalls over %lld ms: %d, the longest %.1f ms; the worst interval ended at %.1f s, "
            "the machine stopped for %.1f ms while it was made\n"
            "  the player sent each message at least %.1f ms before it was due; %d late\n"
            "  over both plays the sound server ran dry %d times and the time line moved %d times\n",
            c.name, f->clicks, f->beatMs, f->shortestMs, f->longestMs, f->p50, f->p99, f->max,
            figures::TargetP99Ms, figures::TargetMaxMs, Verdict(met), qPrintable(f->outputDelay),
            f->loadAverage.c_str(), static_cast<long long>(orbel::desktop::MachineStall.count()),
            f->machineStalls, f->worstMachineStallMs, f->worstAtSeconds, f->stallNearWorstMs,
            f->leastSentAheadMs, f->sentLate, f->ranDry, f->timeLineMoves);
        std::fflush(stdout);
    }
    return allMet ? 0 : 1;
}
