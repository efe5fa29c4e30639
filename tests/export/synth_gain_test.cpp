// The built-in synthesizer's gain: the loudest factory item, every instrument at full volume, played offline
// through the trainer's own SoundFont, peaks a few decibels below full scale.

#include "export/export_build.h"
#include "export/play_recording.h"
#include "sound/soundfont_locator.h"
#include "sound/synth_output.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace orbel::exporter {
namespace {

namespace loudest {
// HOT15 in ric.txt: its chords, bass and melody strike together harder than any other factory item's.
static constexpr int Study = 3;
static constexpr int Item = 14;
static constexpr const char* Title = "HOT15";
static constexpr int Repeats = 3;
} // namespace loudest

namespace level {
static constexpr double LowestDb = -4.5;
static constexpr double HighestDb = -1.5;
// Rendered after the last message, so the last notes ring out.
static constexpr double TailSeconds = 3.0;
} // namespace level

// The gain is set for the SoundFont the trainer prefers; a smaller one plays at another level.
std::filesystem::path TrainerSoundFont() {
    return std::filesystem::path(soundfonts::SystemFolder) / soundfonts::Preferred;
}

// The highest absolute sample of either channel while the performance plays and its last notes fade.
float PeakOf(SynthOutput& synth, const Performance& performance) {
    std::vector<float> left(synth_defaults::PeriodFrames);
    std::vector<float> right(synth_defaults::PeriodFrames);
    std::int64_t rendered = 0;
    float peak = 0.0F;
    auto renderUntil = [&](std::int64_t frame) {
        while (rendered < frame) {
            const auto frames = static_cast<std::size_t>(
                std::min<std::int64_t>(synth_defaults::PeriodFrames, frame - rendered));
            const std::span<float> l(left.data(), frames);
            const std::span<float> r(right.data(), frames);
            EXPECT_TRUE(synth.render(l, r));
            for (std::size_t i = 0; i < frames; ++i)
                peak = std::max({peak, std::fabs(l[i]), std::fabs(r[i])});
            rendered += static_cast<std::int64_t>(frames);
        }
    };
    const double framesPerMicro = synth.sampleRate() / 1e6;
    // Offline, a message sent takes effect at the next frame rendered.
    for (const RecordingOutput::Record& record : performance.records) {
        renderUntil(std::llround(static_cast<double>(record.micros) * framesPerMicro));
        synth.send(record.message);
    }
    renderUntil(rendered + std::llround(level::TailSeconds * synth.sampleRate()));
    return peak;
}

TEST(SynthGain, LoudestFactoryItemAtFullVolumePeaksNearMinus3Dbfs) {
    if (!std::filesystem::is_regular_file(TrainerSoundFont()))
        GTEST_SKIP() << TrainerSoundFont().string() << " is not installed";

    // The factory settings and phrases, in a folder of the test's own.
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/cfg_org.infdat"), home.filePath("cfg.infdat")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/ric.txt"), home.filePath("ric.txt")));

    ExportOptions options;
    options.home = home.path();
    options.study = loudest::Study;
    options.item = loudest::Item;
    options.assignments = {"MelodyOn=1",     "AccompanimentOn=1", "ClickOn=1",
                           "CountInOn=1",    "MelodyVolume=127",  "ChordVolume=127",
                           "BassVolume=127", "ClickVolume=127",   "Tempo=120"};
    const ExportBuild build = BuildForExport(options);
    ASSERT_FALSE(build.badSet) << build.badSet->toStdString();
    ASSERT_FALSE(build.refusal) << *build.refusal;
    ASSERT_TRUE(build.title.starts_with(loudest::Title)) << build.title;
    MidiOptions midiOptions;
    midiOptions.repeats = loudest::Repeats;
    const Performance performance = RecordPerformance(build, build.settings, midiOptions);
    ASSERT_FALSE(performance.records.empty());

    SynthOptions synthOptions;
    synthOptions.soundFont = TrainerSoundFont();
    synthOptions.liveAudio = false;
    SynthOutput synth(synthOptions);
    std::string error;
    ASSERT_TRUE(synth.open(error)) << error;
    const double peakDb = 20.0 * std::log10(PeakOf(synth, performance));
    EXPECT_GE(peakDb, level::LowestDb);
    EXPECT_LE(peakDb, level::HighestDb);
}

} // namespace
} // namespace orbel::exporter
