// Practice in the companion: the tempo ramp as the trainer's player performs it.

#include "export/export_build.h"
#include "export/export_request.h"
#include "export/midi_render.h"
#include "export/play_recording.h"
#include "factory_build.h"

#include "sound/midi1.h"
#include "sound/play_timing.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orbel::exporter {
namespace {

// The first factory scale at 120 with click, without swing, count-in or root progression.
ExportBuild ScaleAt120(const QTemporaryDir& home) {
    return FactoryBuild(home, 0,
                        {"Tempo=120", "ClickOn=1", "SwingOn=0", "CountInOn=0", "RepeatOn=1",
                         "RootProgression=0", "AccompanimentOn=0"});
}

bool IsClick(ShortMessage m) {
    return StatusOf(m) == (midi_bytes::NoteOn | midi_channels::Percussion) && Data2Of(m) > 0;
}

TEST(PracticeExport, TheRampRaisesTheTempoEveryTwoRepetitionsUpToTheCeiling) {
    QTemporaryDir home;
    const ExportBuild build = ScaleAt120(home);
    ASSERT_FALSE(build.refusal) << *build.refusal;
    MidiOptions options;
    options.repeats = 8;
    options.ramp = TempoRamp{5, 2, 135, false};
    const Performance performance = RecordPerformance(build, build.settings, options);
    ASSERT_EQ(performance.playThroughEdges.size(), 16U);

    const std::vector<int> tempi = {120, 120, 125, 125, 130, 130, 135, 135};
    EXPECT_EQ(performance.playThroughTempi, tempi);
    // The tick the player waited, from the first two clicks of every repetition.
    for (std::size_t k = 0; k < tempi.size(); ++k) {
        std::vector<std::int64_t> clicks;
        for (std::size_t i = performance.playThroughEdges[2 * k].sent;
             i < performance.playThroughEdges[2 * k + 1].sent; ++i)
            if (IsClick(performance.records[i].message)) clicks.push_back(performance.records[i].micros);
        ASSERT_GE(clicks.size(), 2U) << "repetition " << k;
        EXPECT_EQ((clicks[1] - clicks[0]) / 1000,
                  play_timing::TicksPerBeat * TickLengthsFor(tempi[k], build.settings.SwingLevel).tick)
            << "repetition " << k;
    }

    // The file changes its tempo with the player: four tempi of the play.
    const RenderedMidi midi = RenderPlay(build, options);
    int tempoEvents = 0;
    for (const SmfEvent& e : midi.tracks.front().events)
        tempoEvents += e.bytes.size() > 1 && e.bytes[0] == 0xFF && e.bytes[1] == 0x51 ? 1 : 0;
    EXPECT_EQ(tempoEvents, 4);
}

} // namespace
} // namespace orbel::exporter
