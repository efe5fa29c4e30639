#include "desktop/steady_clicks.h"

#include "desktop/sink_recorder.h"
#include "desktop/stall_watch.h"
#include "desktop/trainer_run.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace orbel::desktop {

namespace {

using namespace std::chrono_literals;

// A click's sound falls below the onset threshold well within this, and the next comes later.
constexpr auto ClickGap = 100ms;
constexpr double OnsetThreshold = 0.02;
// The sound of a click is made at most this long before it is heard (the largest queue and then some).
constexpr auto RenderedAhead = 200ms;

// Opens the File menu and the About box in turn, once a second, until told to stop.
void OpenMenusEverySecond(const TrainerRun& trainer, Desktop& desktop, const std::atomic<bool>& stop) {
    for (bool menu = true; !stop.load(); menu = !menu) {
        if (menu) {
            trainer.click(QStringLiteral("menubar/mnu_file"));
        } else {
            desktop.key("ctrl+F8");
        }
        std::this_thread::sleep_for(500ms);
        desktop.key("Escape");
        std::this_thread::sleep_for(500ms);
    }
}

// What the trainer said about its sound: the last output delay, and the stream's troubles.
void ReadSoundReport(const TrainerRun& trainer, ClickFigures& figures) {
    QFile log(trainer.folder() + QStringLiteral("/orbel.out"));
    figures.outputDelay = QStringLiteral("not said");
    if (!log.open(QIODevice::ReadOnly)) return;
    for (const QByteArray& line : log.readAll().split('\n')) {
        if (line.startsWith("Output delay: "))
            figures.outputDelay = QString::fromUtf8(line.mid(14)).trimmed();
        if (line.startsWith("The sound server ran dry")) ++figures.ranDry;
        if (line.startsWith("The time line moved")) ++figures.timeLineMoves;
    }
}

// Each scheduled message of the trace ("<sent µs> <status> <data1> <data2> <due µs>"): the least margin
// by which it was sent before its due time, and how many came after it.
void ReadSendMargins(const TrainerRun& trainer, ClickFigures& figures) {
    QFile trace(trainer.folder() + QStringLiteral("/midi.log"));
    if (!trace.open(QIODevice::ReadOnly)) return;
    bool any = false;
    for (const QByteArray& line : trace.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5) continue;
        const double aheadMs = static_cast<double>(fields[4].toLongLong() - fields[0].toLongLong()) / 1000.0;
        figures.leastSentAheadMs = any ? std::min(figures.leastSentAheadMs, aheadMs) : aheadMs;
        any = true;
        if (aheadMs < 0) ++figures.sentLate;
    }
}

} // namespace

std::optional<ClickFigures> PlayClicks(Desktop& desktop, Disturbance disturbance, std::chrono::seconds warmUp,
                                       std::chrono::seconds playing, std::string& problem) {
    TrainerRun trainer(desktop, {"RepeatOn=1", "CountInOn=0", "ClickOn=1", "AccompanimentOn=0", "MelodyOn=0",
                                 "SwingOn=0", "Tempo=300"});
    if (!trainer.started()) {
        problem = "the trainer did not start";
        return std::nullopt;
    }
    SinkRecorder recorder(desktop);
    std::vector<ChildProcess> busy;
    if (disturbance == Disturbance::BusyLoops) {
        const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
        for (unsigned i = 0; i < 2 * cores; ++i)
            busy.emplace_back(std::vector<std::string>{"sh", "-c", "while :; do :; done"});
    }
    std::atomic<bool> stopMenus = false;
    std::thread menus;
    if (disturbance == Disturbance::MenusEverySecond)
        menus = std::thread([&] { OpenMenusEverySecond(trainer, desktop, stopMenus); });
    std::this_thread::sleep_for(1s);

    const QString play = QStringLiteral("frmMain/Command5");
    const QString stop = QStringLiteral("frmMain/Command9");
    bool driven = trainer.click(play);
    std::this_thread::sleep_for(warmUp);
    driven = driven && trainer.click(stop);
    std::this_thread::sleep_for(1s);
    const auto measured = SinkRecorder::Clock::now();
    ClickFigures figures;
    std::vector<StallWatch::LateWake> lateWakes;
    {
        const StallWatch watch(MachineStall);
        driven = driven && trainer.click(play);
        std::this_thread::sleep_for(playing);
        figures.machineStalls = watch.stalls();
        figures.worstMachineStallMs = watch.worstMs();
        lateWakes = watch.lateWakes();
    }
    figures.loadAverage = RunCommand({"cat", "/proc/loadavg"});
    stopMenus = true;
    if (menus.joinable()) menus.join();
    busy.clear();
    driven = driven && trainer.click(stop);
    std::this_thread::sleep_for(500ms);
    if (!driven) {
        problem = "the play and stop buttons could not be pressed";
        return std::nullopt;
    }

    std::vector<SinkRecorder::Clock::time_point> onsets = recorder.onsets(OnsetThreshold, ClickGap);
    std::erase_if(onsets, [&](SinkRecorder::Clock::time_point t) { return t < measured; });
    if (onsets.size() < 3) {
        problem = "the clicks were not heard";
        return std::nullopt;
    }
    std::vector<double> intervals;
    for (std::size_t i = 1; i < onsets.size(); ++i)
        intervals.push_back(std::chrono::duration<double, std::milli>(onsets[i] - onsets[i - 1]).count());
    std::vector<double> inOrder = intervals;
    std::sort(intervals.begin(), intervals.end());
    figures.clicks = onsets.size();
    figures.beatMs = intervals[intervals.size() / 2];
    // Where the worst interval fell, and whether the machine stopped while its sound was being made (from
    // a little before its first click, when the sound of the second was rendered, to the second).
    const auto worst = std::max_element(inOrder.begin(), inOrder.end(), [&](double a, double b) {
        return std::fabs(a - figures.beatMs) < std::fabs(b - figures.beatMs);
    });
    const std::size_t end = static_cast<std::size_t>(worst - inOrder.begin()) + 1;
    figures.worstAtSeconds = std::chrono::duration<double>(onsets[end] - measured).count();
    for (const StallWatch::LateWake& wake : lateWakes)
        if (wake.at >= onsets[end - 1] - RenderedAhead && wake.at <= onsets[end])
            figures.stallNearWorstMs = std::max(figures.stallNearWorstMs, wake.lateMs);
    figures.shortestMs = intervals.front();
    figures.longestMs = intervals.back();
    std::vector<double> errors;
    for (const double interval : intervals)
        errors.push_back(std::fabs(interval - figures.beatMs));
    std::sort(errors.begin(), errors.end());
    figures.p50 = errors[errors.size() / 2];
    figures.p99 = errors[errors.size() * 99 / 100];
    figures.max = errors.back();
    ReadSoundReport(trainer, figures);
    ReadSendMargins(trainer, figures);
    return figures;
}

} // namespace orbel::desktop
