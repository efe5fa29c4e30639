// How long the staff takes: layout and full paint of the largest factory phrase on the views' area of a
// 1920×1080 window, and one move of the play cursor.
//
//     bench_staff [--runs n]
#include "app/study_session.h"
#include "theory/note_names.h"
#include "theory/prepare_build.h"
#include "views/circle_layout.h"
#include "views/circle_view.h"
#include "views/keyboard_view.h"
#include "views/staff_layout.h"
#include "views/view_set.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double TargetPaintMs = 5;
constexpr double TargetCursorMs = 0.2;
constexpr double TargetNoteMs = 0.3;
// The views' area of a 1920×1080 window and its logical size.
constexpr QSize AreaPixels(1620, 1040);
const orbel::StaffFrame Frame{24300, 15600, 19800, 1};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
    QCommandLineParser parser;
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("How many times."),
                                  QStringLiteral("n"), QStringLiteral("200"));
    parser.addOption(runs);
    parser.process(app);
    const QString folder = QCoreApplication::applicationDirPath();
    if (QFontDatabase::addApplicationFont(QDir(folder).filePath(QStringLiteral("ZEPHMUSIC.ttf"))) < 0) {
        std::fprintf(stderr, "the music font is missing from %s\n", folder.toLocal8Bit().constData());
        return 1;
    }

    // The phrase with the most entries.
    orbel::StudyState study;
    study.settings.StudyType = orbel::study_type::IIVIPhrase;
    orbel::InitIIVITables(study.iiviTables);
    orbel::StudySession session(study);
    session.loadItems(folder);
    int largest = 0;
    int entries = 0;
    for (int item = 0; item < study.itemCount; ++item) {
        session.selectItem(item);
        if (study.sequence.SeqCount > entries) {
            entries = study.sequence.SeqCount;
            largest = item;
        }
    }
    session.selectItem(largest);

    orbel::ViewSet views;
    views.resize(AreaPixels, 1.0, Frame.windowWidth, Frame.windowHeight);
    std::vector<double> paintMs;
    std::vector<double> cursorMs;
    const int n = std::max(1, parser.value(runs).toInt());
    for (int run = 0; run < n; ++run) {
        QElapsedTimer t;
        t.start();
        const orbel::StaffLayout staff =
            orbel::LayOutStaff(study.sequence, {3, 0, study.settings.RootKey}, Frame);
        views.showStaff(staff);
        paintMs.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        views.MovePlayCursor(0, true);
        t.restart();
        views.MovePlayCursor(24, false);
        cursorMs.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        views.HidePlayCursor();
    }
    // The work of one note with all three views: the cursor, the lit key and the circle's marker, on a scale.
    orbel::StudyState scale;
    scale.settings.StudyType = orbel::study_type::Scale;
    orbel::InitIIVITables(scale.iiviTables);
    orbel::StudySession scaleSession(scale);
    scaleSession.loadItems(folder);
    scaleSession.selectItem(0);
    const orbel::CircleFrame circleFrame{Frame.windowHeight, Frame.frame2Left, 1, 0, -1, -1};
    orbel::CircleDiagram circle;
    circle.place = orbel::CircleLayout(circleFrame);
    circle.points = orbel::ComputeCircleGeometry(circle.place, circleFrame, 100, 200, 16200);
    circle.content.shown = true;
    circle.content.steps = scale.study.catalogue.ScaleSteps[0];
    std::vector<int> ticks;
    int tick = 0;
    for (int i = 0; i < scale.sequence.SeqCount; ++i) {
        const auto n = static_cast<std::size_t>(i);
        const auto pc = static_cast<std::size_t>(orbel::PitchClass(scale.sequence.SeqPitch[n]));
        circle.content.markers.push_back({tick, circle.points[4][pc], circle.points[5][pc]});
        ticks.push_back(tick);
        tick += scale.sequence.SeqDur[n];
    }
    views.show(orbel::LayOutStaff(scale.sequence, {0, 0, 0}, Frame),
               orbel::KeyboardFor(scale.sequence, true, true, 0, 0xFFC896, 0x008CFF, Frame.frame2Left),
               circle);
    std::vector<double> noteMs;
    for (int run = 0; run < n; ++run) {
        views.MovePlayCursor(0, true);
        views.CircleShowTick(0, true);
        for (const int t : ticks) {
            QElapsedTimer timer;
            timer.start();
            views.MovePlayCursor(t, false);
            views.ShowPlayedKey(t);
            views.CircleShowTick(t, false);
            noteMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
        views.HidePlayCursor();
        views.CircleEndPlay();
        views.EndPlayKeyboard();
    }

    const double paint = Median(paintMs);
    const double cursor = Median(cursorMs);
    std::printf("Staff of the largest factory phrase (item %d, %d entries) on %dx%d pixels, %d runs\n",
                largest + 1, entries, AreaPixels.width(), AreaPixels.height(), n);
    std::printf("  layout and full paint: median %.2f ms, max %.2f ms   [target < %.0f ms %s]\n", paint,
                *std::max_element(paintMs.begin(), paintMs.end()), TargetPaintMs,
                paint < TargetPaintMs ? "ok" : "MISSED");
    std::printf("  one cursor move: median %.3f ms   [target < %.1f ms %s]\n", cursor, TargetCursorMs,
                cursor < TargetCursorMs ? "ok" : "MISSED");
    const double note = Median(noteMs);
    std::printf("  one note with all three views (cursor, key, circle marker): median %.3f ms   [target < "
                "%.1f ms %s]\n",
                note, TargetNoteMs, note < TargetNoteMs ? "ok" : "MISSED");
    return 0;
}
