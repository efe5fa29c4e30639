#include "app/practice_settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orbel {
namespace {

TEST(PracticeSettings, ARoundTripKeepsEverythingAndDamagedValuesFallBackToDefaults) {
    QTemporaryDir folder;
    PracticeSettings wanted;
    wanted.rampOn = true;
    wanted.ramp = TempoRamp{7, 3, 180, true};
    wanted.rampStartTempo = 132;
    wanted.checkOn = true;
    wanted.inputPort = QStringLiteral("Keystation 49:Keystation 49 MIDI 1 24:0");
    wanted.scoring = ScoreOptions{85, true};
    wanted.muteMelody = true;
    ASSERT_TRUE(SavePracticeSettings(folder.path(), wanted));
    const PracticeSettings read = LoadPracticeSettings(folder.path());
    EXPECT_EQ(read.rampOn, wanted.rampOn);
    EXPECT_EQ(read.ramp.step, 7);
    EXPECT_EQ(read.ramp.every, 3);
    EXPECT_EQ(read.ramp.ceiling, 180);
    EXPECT_TRUE(read.ramp.restart);
    EXPECT_EQ(read.rampStartTempo, 132);
    EXPECT_EQ(read.inputPort, wanted.inputPort);
    EXPECT_EQ(read.scoring.windowMs, 85);
    EXPECT_TRUE(read.scoring.anyOctave && read.muteMelody && read.checkOn);

    QFile ini(folder.filePath("practice.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(
        "[ramp]\nstep=0\nevery=abc\nceiling=9999\nstartTempo=-5\n[check]\nwindowMs=1\n\xff\xfe garbage\n");
    ini.close();
    const PracticeSettings fallback = LoadPracticeSettings(folder.path());
    const TempoRamp defaults;
    EXPECT_EQ(fallback.ramp.step, defaults.step);
    EXPECT_EQ(fallback.ramp.every, defaults.every);
    EXPECT_EQ(fallback.ramp.ceiling, defaults.ceiling);
    EXPECT_FALSE(fallback.rampStartTempo);
    EXPECT_EQ(fallback.scoring.windowMs, score_defaults::WindowMs);
}

} // namespace
} // namespace orbel
