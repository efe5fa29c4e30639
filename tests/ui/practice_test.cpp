// Practice in the window: playing along on a MIDI keyboard scores as the companion scores the same
// performance from a file; a keyboard that is missing or goes away is said in one line, and the music goes
// on.

#include "export/export_build.h"
#include "export/performance_check.h"
#include "export/smf_writer.h"
#include "support/trainer_fixture.h"
#include "ui/practice/practice_texts.h"
#include "ui/practice/session_chart.h"

#include <QDialog>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QScrollBar>
#include <QSettings>
#include <atomic>
#include <mutex>

namespace orbel::testing {
namespace {

// A keyboard the test plays on: a port that is there until the test pulls it out.
class TestKeyboard final : public MidiInput {
public:
    std::vector<std::string> ports() override {
        std::vector<std::string> names;
        if (through) names.emplace_back("Midi Through:Midi Through Port-0 14:0");
        if (present) names.emplace_back("Test keyboard");
        return names;
    }
    bool open(const std::string& port, std::string& error) override {
        if (!present) {
            error = "not there";
            return false;
        }
        open_ = port;
        return true;
    }
    void close() override { open_.reset(); }
    std::optional<std::string> openPort() const override { return open_; }
    void setHandler(NoteHandler handler) override {
        const std::lock_guard lock(mutex);
        handler_ = std::move(handler);
    }
    // A key struck and let go a tenth of a second later.
    void strike(int key, MidiClock::time_point at) {
        const std::lock_guard lock(mutex);
        if (!handler_ || !open_) return;
        handler_(key, 100, at);
        handler_(key, 0, at + std::chrono::milliseconds(100));
    }

    std::atomic<bool> present = true;
    std::atomic<bool> through = false; // the sequencer's pass-through port, listed first

private:
    std::mutex mutex;
    std::optional<std::string> open_;
    NoteHandler handler_;
};

struct Struck {
    int key;
    std::int64_t micros;
};

class PracticeTest : public TrainerFixture {
protected:
    // Presses play and plays along as the melody comes: mostly 30 ms late, now and then a wrong, doubled or
    // forgotten note. Stopped in the repetition after the next of `repetitions`, whose window, the clock
    // standing still from then on, never passes: so exactly `repetitions` are scored. The keys struck.
    std::vector<Struck> playAlong(int repetitions) {
        std::vector<Struck> struck;
        std::size_t seen = 0;
        int melodyNotes = 0;
        // A repetition begins with all notes off on melody, chords and bass in a row (after the last one's
        // end, which does the same).
        int allOffInRow = 0;
        int edges = 0;
        clock->setOnWake([&] {
            const auto& records = midi->records();
            for (; seen < records.size(); ++seen) {
                const RecordingOutput::Record& r = records[seen];
                const bool allOff = (StatusOf(r.message) & 0xF0) == midi_bytes::ControlChange &&
                                    Data1Of(r.message) == midi_bytes::ControllerAllNotesOff;
                allOffInRow = allOff ? allOffInRow + 1 : 0;
                if (allOffInRow == 3 && ++edges == repetitions + 2)
                    onUi([this] { find<QPushButton>("Command9")->click(); });
                if (StatusOf(r.message) != midi_bytes::NoteOn || Data2Of(r.message) == 0 || !r.dueMicros)
                    continue;
                const int n = melodyNotes++;
                if (n % 5 == 3) continue;
                const int key = Data1Of(r.message) + (n % 7 == 2 ? 1 : 0);
                const std::int64_t at = *r.dueMicros + 30'000 + (n % 3) * 1000;
                struck.push_back({key, at});
                keyboard->strike(key, MidiClock::time_point(std::chrono::microseconds(at)));
                if (n % 4 == 1) {
                    struck.push_back({key, at + 8000});
                    keyboard->strike(key, MidiClock::time_point(std::chrono::microseconds(at + 8000)));
                }
            }
        });
        find<QPushButton>("Command5")->click();
        waitIdle();
        QTest::qWait(300);
        clock->setOnWake({});
        return struck;
    }

    void SetUp() override {
        copyFiles({"scale.txt", "code.txt", "ptn.txt", "ric.txt"});
        auto owned = std::make_unique<TestKeyboard>();
        keyboard = owned.get();
        input = std::move(owned);
        QSettings ini(path("practice.ini"), QSettings::IniFormat);
        ini.setValue("check/on", true);
        ini.sync();
        // The factory settings, with the keyboard and its colours.
        QFile factory(QStringLiteral(ORBEL_PROGRAM_DIR "/cfg_org.infdat"));
        ASSERT_TRUE(factory.open(QIODevice::ReadOnly));
        const std::optional<Settings> decoded = DecodeSettingsRecord(factory.readAll());
        ASSERT_TRUE(decoded);
        settings = *decoded;
        settings.HideDemoOffer = 1;
        settings.StudyType = 2; // II–V–I patterns
        settings.RepeatOn = 1;
        settings.RepeatCount = 2;
        settings.RootProgression = 2; // by fourths
        settings.CountInOn = 1;
        settings.MelodyOn = 1;
        settings.Tempo = 160;
        settings.MelodyVolume = 100;
    }

    TestKeyboard* keyboard = nullptr;
};

TEST_F(PracticeTest, PlayingAlongScoresAsTheCompanionScoresTheSameFile) {
    keyboard->through = true;
    start();
    ASSERT_EQ(keyboard->openPort(), "Test keyboard") << "the keyboard, not the pass-through port";
    const std::vector<Struck> struck = playAlong(5);
    const std::vector<RepetitionScore>& live = trainer->practice->session();
    ASSERT_GE(live.size(), 4U);

    // The same keys as a file laid out as the trainer's own: it begins where the count-in does.
    std::int64_t countIn = 0;
    for (const Sent& m : sent())
        if (IsCountIn(m)) {
            countIn = m.dueMicros.value_or(m.micros);
            break;
        }
    exporter::SmfTrack track;
    track.events.push_back(exporter::TempoEvent(0, 100'000)); // a tick is a tenth of a millisecond
    for (const Struck& s : struck) {
        const auto tick = static_cast<std::uint32_t>((s.micros - countIn) / 100);
        track.events.push_back(exporter::NoteOnEvent(tick, 0, s.key, 100));
        track.events.push_back(exporter::NoteOffEvent(tick + 500, 0, s.key));
    }
    const std::vector<std::uint8_t> bytes = exporter::WriteSmf(1000, {track});
    QFile file(path("played.mid"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    file.close();

    exporter::ExportOptions options;
    options.home = folder.path();
    options.study = settings.StudyType;
    const exporter::ExportBuild build = exporter::BuildForExport(options);
    ASSERT_FALSE(build.refusal);
    exporter::MidiOptions midiOptions;
    midiOptions.repeats = 5; // the fifth decides which notes near the fourth's end are its own
    const exporter::ScoreReport report = exporter::ScoreFile(build, midiOptions, true, file.fileName(), {});
    ASSERT_TRUE(report.json) << report.error.toStdString();
    const QJsonArray fromFile = QJsonDocument::fromJson(*report.json).object()["repetitions"].toArray();
    ASSERT_EQ(fromFile.size(), 5);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const QJsonObject f = fromFile[i].toObject();
        const RepetitionScore& l = live[static_cast<std::size_t>(i)];
        EXPECT_EQ(l.right, f["right"].toInt());
        EXPECT_EQ(l.total, f["total"].toInt());
        EXPECT_EQ(l.missed, f["missed"].toInt());
        EXPECT_EQ(l.extra, f["extra"].toInt());
        EXPECT_EQ(l.wrong, f["wrong"].toInt());
        EXPECT_NEAR(l.meanOffsetMs, f["mean_offset_ms"].toDouble(), 0.1);
        EXPECT_GT(l.missed + l.wrong + l.extra, 0); // the test played its mistakes
    }
}

TEST_F(PracticeTest, ASessionOfTwelveRepetitionsIsChartedWithItsRampingTempo) {
    QSettings ini(path("practice.ini"), QSettings::IniFormat);
    ini.setValue("ramp/on", true);
    ini.setValue("ramp/step", 10);
    ini.setValue("ramp/every", 2);
    ini.setValue("ramp/ceiling", 200);
    ini.sync();
    start();
    playAlong(12);
    const std::vector<RepetitionScore>& session = trainer->practice->session();
    ASSERT_EQ(session.size(), 12U);
    const ChartLayout chart = LayOutChart(session, QSizeF(600, 240));
    EXPECT_EQ(chart.bars.size(), session.size());
    EXPECT_LT(chart.tempoLine.back().y(), chart.tempoLine.front().y()) << "the tempo line rises";
    std::vector<int> tempi;
    for (const RepetitionScore& score : session)
        tempi.push_back(score.tempo);
    EXPECT_EQ(tempi, (std::vector<int>{160, 160, 170, 170, 180, 180, 190, 190, 200, 200, 200, 200}));
    EXPECT_EQ(find<QScrollBar>("VScroll1")->value(), 200) << "the tempo bar followed the ramp";
    const QString png = path("session.png");
    ASSERT_TRUE(ChartImage(session, QSize(640, 320)).save(png, "PNG"));
    EXPECT_EQ(QImage(png).size(), QSize(640, 320));

    // Pictures for a person to look at, when asked for.
    const QString shots = qEnvironmentVariable("ORBEL_SCREENSHOT_DIR");
    if (shots.isEmpty()) return;
    trainer->window->openPractice();
    auto* practiceWindow = trainer->window->findChild<QDialog*>("frmPractice");
    ASSERT_TRUE(practiceWindow);
    practiceWindow->resize(640, 620);
    QTest::qWait(50);
    EXPECT_TRUE(practiceWindow->grab().save(QDir(shots).filePath("practice-window.png")));
    // A right key held while the melody's lights, and a wrong one beside it.
    const int middleC = 60;
    emit trainer->practice->keyPlayed(middleC, true, true);
    emit trainer->practice->keyPlayed(middleC + 3, false, true);
    QTest::qWait(50);
    EXPECT_TRUE(trainer->window->grab().save(QDir(shots).filePath("main-window.png")));
}

TEST_F(PracticeTest, AKeyboardMissingOrPulledOutIsSaidInOneLineAndTheMusicGoesOn) {
    keyboard->present = false;
    start();
    trainer->window->openPractice();
    auto* status = trainer->window->findChild<QLabel*>("practiceInputStatus");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->text(), QString::fromUtf8(practice_texts::NoInput));

    // Plugged in, listened to, pulled out while playing.
    keyboard->present = true;
    trainer->practice->connectInput();
    EXPECT_TRUE(trainer->practice->listening());
    find<QPushButton>("Command5")->click();
    keyboard->present = false;
    trainer->practice->watchInput(); // as the window does every second
    EXPECT_EQ(status->text(), QString::fromUtf8(practice_texts::Vanished).arg("Test keyboard"));
    EXPECT_FALSE(status->text().contains('\n'));
    EXPECT_TRUE(trainer->player->busy()) << "the music stopped with the keyboard";
    find<QPushButton>("Command9")->click();
    waitIdle();
}

} // namespace
} // namespace orbel::testing
