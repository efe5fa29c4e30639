// How long the trainer takes to show a catalogue whose item name is enormous: the change of study type that
// reads scale.txt with a name of `megabytes` (16 by default), lists its items, builds and lays out the first
// one, and the window's full repaint with the item list open (the staff with its title, the list's entry).
//
//     bench_long_name [--megabytes n] [--runs n]
//
// Runs the trainer in this process on a copy of the built program folder, MIDI going to a recorder, on
// whatever display QT_QPA_PLATFORM names (offscreen by default).
#include "printing_prompter.h"
#include "program_copy.h"

#include "app/settings_file.h"
#include "sound/recording_output.h"
#include "theory/prepare_build.h"
#include "ui/control_panel.h"
#include "ui/main_mod.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double TargetShowMs = 100;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double MsSince(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// scale.txt with one name of the given size in front of a factory scale.
bool WriteCatalogue(const QString& path, qsizetype nameBytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QByteArray line(nameBytes, 'A');
    line += ",2212221\r\n";
    return file.write(line) == line.size() && file.write("ドリアン,2122212\r\n") > 0;
}

bool WriteSettings(const QString& folder) {
    QFile factory(folder + QStringLiteral("/cfg_org.infdat"));
    if (!factory.open(QIODevice::ReadOnly)) return false;
    std::optional<orbel::Settings> s = orbel::DecodeSettingsRecord(factory.readAll());
    if (!s) return false;
    s->HideDemoOffer = 1;
    s->StudyType = orbel::study_type::Chord;
    QFile cfg(folder + QStringLiteral("/cfg.infdat"));
    return cfg.open(QIODevice::WriteOnly) && cfg.write(orbel::EncodeSettingsRecord(*s)) > 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
    QCommandLineParser parser;
    const QCommandLineOption megabytes(QStringLiteral("megabytes"), QStringLiteral("Size of the name."),
                                       QStringLiteral("n"), QStringLiteral("16"));
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("How many times."),
                                  QStringLiteral("n"), QStringLiteral("5"));
    parser.addOptions({megabytes, runs});
    parser.process(app);

    const QTemporaryDir folder;
    orbel::bench::CopyProgramFolder(folder);
    const qsizetype nameBytes = std::max(1, parser.value(megabytes).toInt()) * qsizetype{1024 * 1024};
    if (!WriteCatalogue(folder.filePath(QStringLiteral("scale.txt")), nameBytes) ||
        !WriteSettings(folder.path())) {
        std::fprintf(stderr, "cannot prepare the program folder %s\n",
                     folder.path().toLocal8Bit().constData());
        return 1;
    }

    orbel::bench::PrintingPrompter prompter;
    auto trainer = orbel::Main(folder.path(), prompter, std::make_unique<orbel::RecordingOutput>());
    if (!trainer) return 1;
    orbel::frmMain& window = *trainer->window;
    QComboBox& types = *window.controls().studyTypeList;
    QComboBox& items = *window.controls().itemList;
    QCoreApplication::processEvents();

    std::vector<double> listMs;
    std::vector<double> showMs;
    const int n = std::max(1, parser.value(runs).toInt());
    for (int run = 0; run < n; ++run) {
        types.setCurrentIndex(orbel::study_type::Chord);
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        types.setCurrentIndex(orbel::study_type::Scale);
        listMs.push_back(MsSince(t));
        window.repaint();
        items.showPopup();
        items.view()->repaint();
        items.hidePopup();
        QCoreApplication::processEvents();
        showMs.push_back(MsSince(t));
    }
    const QString entry = items.itemText(0);
    const double show = Median(showMs);
    std::printf("A scale named with %lld MB of text, %d runs (the list's entry: %lld characters)\n",
                static_cast<long long>(nameBytes / (1024 * 1024)), n, static_cast<long long>(entry.size()));
    std::printf("  read, list, build and lay out: median %.1f ms\n", Median(listMs));
    std::printf("  all that, the window repainted and the item list opened: median %.1f ms, max %.1f ms   "
                "[target < %.0f ms %s]\n",
                show, *std::max_element(showMs.begin(), showMs.end()), TargetShowMs,
                show < TargetShowMs ? "ok" : "MISSED");
    window.close();
    return 0;
}
