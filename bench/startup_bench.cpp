// How soon the trainer shows its window, and what it costs while it plays and while it rests; or, with
// --dialogs, how soon each settings window is on the screen after its menu item or button.
//
//     bench_startup [--play-seconds s]
//     bench_startup --dialogs [--opens n]
//
// Runs the trainer in this process, in a copy of the built program folder, with the built-in synthesizer
// and the system's SoundFont (FluidR3_GM when installed) as a user would have it, on whatever display
// QT_QPA_PLATFORM names (xvfb-run gives a real X server). Prints: the time from the start of the process and
// from the start of the trainer to the main window's first frame; the resident memory after the play button
// has played for `play-seconds` (30 by default); and the processor time of this process while playing and
// once the stream has been released. --dialogs opens サウンド設定, カラー設定, 練習設定 and 補足設定 `opens`
// times each (5 by default), closing each in between, and prints the time from the click to the window's
// first frame: the first opening and the slowest of the others.
#include "printing_prompter.h"
#include "process_stats.h"
#include "program_copy.h"

#include "app/prompter.h"
#include "sound/synth_output.h"
#include "ui/captions.h"
#include "ui/main_mod.h"
#include "views/view_set.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QFont>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using orbel::bench::CpuSeconds;
using orbel::bench::PrintingPrompter;
using orbel::bench::ResidentMiB;
using orbel::bench::StatusMiB;

constexpr double TargetFirstFrameMs = 200;
constexpr double TargetRssMiB = 50;
constexpr double TargetPlayingCpu = 3;
constexpr double TargetIdleCpu = 1;
constexpr int IdleSettleSeconds = 6; // the stream is released after 3 s without a note
constexpr int IdleMeasureSeconds = 5;
constexpr double TargetCursorMs = 17; // one frame
constexpr double TargetDialogMs = 100;
constexpr int DialogSettleMs = 300; // between a window's closing and the next click

// Hands every message on to the synthesizer and keeps the due time of every melody note.
class MelodyTap final : public orbel::MidiOutput {
public:
    explicit MelodyTap(std::unique_ptr<orbel::SynthOutput> synth) : synth_(std::move(synth)) {}
    bool open(std::string& error) override { return synth_->open(error); }
    void send(orbel::ShortMessage m) override { synth_->send(m); }
    void sendAt(orbel::ShortMessage m, orbel::MidiClock::time_point due) override {
        if (orbel::StatusOf(m) == orbel::midi_bytes::NoteOn && orbel::Data2Of(m) > 0) dues.push_back(due);
        synth_->sendAt(m, due);
    }
    void cancelScheduled() override { synth_->cancelScheduled(); }
    std::chrono::microseconds outputDelay() const override { return synth_->outputDelay(); }
    void wake() override { synth_->wake(); }
    void reset() override { synth_->reset(); }
    void close() override { synth_->close(); }
    bool isOpen() const override { return synth_->isOpen(); }

    std::vector<orbel::MidiClock::time_point> dues; // melody note-ons, on the player's thread

private:
    std::unique_ptr<orbel::SynthOutput> synth_;
};

// Seconds since this process started, from the kernel's record of it.
double SecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int i = 0; i < 22 && stat >> field; ++i) {
    }
    const double startTicks = std::stod(field);
    std::ifstream uptimeFile("/proc/uptime");
    double uptime = 0;
    uptimeFile >> uptime;
    return uptime - startTicks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// Notes the first paint of any widget of the main window.
class FirstFrame final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            atProcessSeconds = SecondsSinceProcessStart();
            sinceTrainerMs = static_cast<double>(sinceTrainer.nsecsElapsed()) / 1e6;
        }
        return QObject::eventFilter(watched, event);
    }
    QElapsedTimer sinceTrainer;
    bool painted = false;
    double atProcessSeconds = 0;
    double sinceTrainerMs = 0;
};

// Lets the trainer run, as its own event loop would, for ms.
void Wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Processor seconds of every thread of this process that used some, with its name.
void PrintThreads() {
    const double tick = static_cast<double>(::sysconf(_SC_CLK_TCK));
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& id : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        std::ifstream stat((tasks.filePath(id) + QStringLiteral("/stat")).toStdString());
        std::string line;
        std::getline(stat, line);
        const auto open = line.find('(');
        const auto close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 2));
        std::string field;
        double user = 0;
        double system = 0;
        for (int i = 3; i <= 15 && rest >> field; ++i) {
            if (i == 14) user = std::stod(field);
            if (i == 15) system = std::stod(field);
        }
        const double seconds = (user + system) / tick;
        if (seconds >= 0.05)
            std::printf("    thread %s (%s): %.2f s\n", id.toLocal8Bit().constData(),
                        line.substr(open + 1, close - open - 1).c_str(), seconds);
    }
}

const char* Verdict(bool met) {
    return met ? "ok" : "MISSED";
}

// Notes the first frame of the window named `name` after each click.
class WindowFrame final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && waiting) {
            if (auto* widget = qobject_cast<QWidget*>(watched);
                widget && widget->window()->objectName() == name && widget->window()->isVisible()) {
                waiting = false;
                window = widget->window();
                ms = static_cast<double>(sinceClick.nsecsElapsed()) / 1e6;
            }
        }
        return QObject::eventFilter(watched, event);
    }
    QString name;
    bool waiting = false;
    QElapsedTimer sinceClick;
    QWidget* window = nullptr;
    double ms = 0;
};

// Clicks each settings window open `opens` times and prints how soon it showed.
void MeasureDialogs(QApplication& app, orbel::frmMain& window, int opens) {
    const struct {
        const char* caption;
        const char* windowName;
        std::function<void()> click;
    } dialogs[] = {
        {"サウンド設定", "settei",
         [&window] { window.findChild<QAction*>(QStringLiteral("mnu_settei_sound"))->trigger(); }},
        {"カラー設定", "frmColset",
         [&window] { window.findChild<QAction*>(QStringLiteral("mnu_settei_color"))->trigger(); }},
        {"練習設定", "frmPractice",
         [&window] { window.findChild<QAction*>(QStringLiteral("mnu_settei_practice"))->trigger(); }},
        {"補足設定", "MainSet",
         [&window] { window.findChild<QPushButton*>(QStringLiteral("Command10"))->click(); }},
    };
    WindowFrame frame;
    app.installEventFilter(&frame);
    std::printf("Settings windows, click to first frame (%s display)\n",
                QGuiApplication::platformName().toLocal8Bit().constData());
    for (const auto& dialog : dialogs) {
        std::vector<double> times;
        frame.name = QString::fromLatin1(dialog.windowName);
        for (int i = 0; i < opens; ++i) {
            frame.waiting = true;
            frame.sinceClick.start();
            dialog.click();
            QElapsedTimer limit;
            limit.start();
            while (frame.waiting && limit.elapsed() < 5000)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            if (frame.waiting) {
                std::printf("  %s: no frame within 5 s\n", dialog.caption);
                break;
            }
            times.push_back(frame.ms);
            frame.window->close();
            // A window that deletes itself on closing goes now, as it would on the way back to the main loop.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            Wait(DialogSettleMs);
        }
        if (times.empty()) continue;
        const double later =
            times.size() > 1 ? *std::max_element(times.begin() + 1, times.end()) : times.front();
        std::printf("  %s: first %.0f ms, again at most %.0f ms (%zu openings)   [target %.0f ms %s]\n",
                    dialog.caption, times.front(), later, times.size(), TargetDialogMs,
                    Verdict(std::max(times.front(), later) <= TargetDialogMs));
    }
    app.removeEventFilter(&frame);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QFont::insertSubstitution(orbel::captions::FormFontName, QStringLiteral("IPAMincho"));
    QApplication::setQuitOnLastWindowClosed(false);
    QCommandLineParser parser;
    const QCommandLineOption playSeconds(QStringLiteral("play-seconds"), QStringLiteral("How long to play."),
                                         QStringLiteral("seconds"), QStringLiteral("30"));
    parser.addHelpOption();
    const QCommandLineOption dialogs(QStringLiteral("dialogs"),
                                     QStringLiteral("Time the settings windows instead of playing."));
    const QCommandLineOption opens(QStringLiteral("opens"), QStringLiteral("How often each window opens."),
                                   QStringLiteral("n"), QStringLiteral("5"));
    parser.addOption(playSeconds);
    parser.addOption(dialogs);
    parser.addOption(opens);
    parser.process(app);

    // The trainer's own program folder, copied so that nothing of the build is changed.
    QTemporaryDir folder;
    orbel::bench::CopyProgramFolder(folder);

    PrintingPrompter prompter;
    FirstFrame first;
    app.installEventFilter(&first);
    first.sinceTrainer.start();
    const double processAtTrainer = SecondsSinceProcessStart();
    // The sound goes to the built-in synthesizer as always; the due time of every melody note is kept.
    auto synth = std::make_unique<orbel::SynthOutput>();
    auto tap = std::make_unique<MelodyTap>(std::move(synth));
    MelodyTap& melody = *tap;
    std::unique_ptr<orbel::Trainer> trainer = orbel::Main(folder.path(), prompter, std::move(tap));
    if (!trainer) {
        std::fprintf(stderr, "the trainer did not start\n");
        return 1;
    }
    while (!first.painted)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    app.removeEventFilter(&first);

    if (parser.isSet(dialogs)) {
        Wait(DialogSettleMs);
        MeasureDialogs(app, *trainer->window, std::max(1, parser.value(opens).toInt()));
        trainer->window->close();
        return 0;
    }

    Wait(IdleSettleSeconds * 1000);
    const double rssAtRest = ResidentMiB();
    auto* play = trainer->window->findChild<QPushButton*>(QStringLiteral("Command5"));
    const double cpuBefore = CpuSeconds();
    QElapsedTimer playing;
    playing.start();
    std::vector<orbel::MidiClock::time_point> cursorMoves;
    trainer->window->views().setCursorObserver([&cursorMoves](int, bool first) {
        if (!first) cursorMoves.push_back(orbel::MidiClock::now());
    });
    play->click();
    Wait(static_cast<int>(parser.value(playSeconds).toDouble() * 1000));
    const double rss = ResidentMiB();
    const double rssAnon = StatusMiB("RssAnon");
    const double rssFile = StatusMiB("RssFile");
    const double playingCpu =
        (CpuSeconds() - cpuBefore) / (static_cast<double>(playing.elapsed()) / 1000) * 100;
    trainer->window->findChild<QPushButton*>(QStringLiteral("Command9"))->click();
    Wait(IdleSettleSeconds * 1000);
    const double idleBefore = CpuSeconds();
    Wait(IdleMeasureSeconds * 1000);
    const double idleCpu = (CpuSeconds() - idleBefore) / IdleMeasureSeconds * 100;

    std::printf("Start-up (%s display, FluidR3_GM when installed)\n",
                QGuiApplication::platformName().toLocal8Bit().constData());
    std::printf("  first frame %.0f ms after the process started, %.0f ms after the trainer began "
                "(process start to trainer %.0f ms)   [target %.0f ms after exec %s]\n",
                first.atProcessSeconds * 1000, first.sinceTrainerMs, processAtTrainer * 1000,
                TargetFirstFrameMs, Verdict(first.sinceTrainerMs <= TargetFirstFrameMs));
    std::printf(
        "  resident memory after %.0f s of playing: %.1f MiB (%.1f MiB before the first note)   [target "
        "%.0f MiB %s]\n",
        parser.value(playSeconds).toDouble(), rss, rssAtRest, TargetRssMiB, Verdict(rss <= TargetRssMiB));
    std::printf(
        "    of which the process's own %.1f MiB, pages of shared files (libraries, fonts) %.1f MiB\n",
        rssAnon, rssFile);
    std::printf("  processor while playing: %.1f %% of a core   [target %.0f %% %s]\n", playingCpu,
                TargetPlayingCpu, Verdict(playingCpu <= TargetPlayingCpu));
    // Each cursor move against the moment its note is heard: due time plus the output's delay.
    std::vector<double> cursorLateMs;
    const auto delay = melody.outputDelay();
    for (std::size_t i = 0; i < std::min(cursorMoves.size(), melody.dues.size()); ++i)
        cursorLateMs.push_back(
            std::chrono::duration<double, std::milli>(cursorMoves[i] - (melody.dues[i] + delay)).count());
    std::sort(cursorLateMs.begin(), cursorLateMs.end());
    if (!cursorLateMs.empty())
        std::printf(
            "  cursor against the heard note (%zu notes): min %.1f ms, median %.1f ms, max %.1f ms   [target "
            "within %.0f ms %s]\n",
            cursorLateMs.size(), cursorLateMs.front(), cursorLateMs[cursorLateMs.size() / 2],
            cursorLateMs.back(), TargetCursorMs,
            Verdict(std::abs(cursorLateMs.front()) <= TargetCursorMs &&
                    std::abs(cursorLateMs.back()) <= TargetCursorMs));
    PrintThreads();
    std::printf("  processor at rest: %.2f %% of a core   [target with the sound server %.0f %% %s]\n",
                idleCpu, TargetIdleCpu, Verdict(idleCpu <= TargetIdleCpu));
    trainer->window->close();
    return 0;
}
