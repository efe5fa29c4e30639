#include "app/practice_settings.h"

#include "app/study_session.h"

#include <QDir>
#include <QSettings>
#include <algorithm>

namespace orbel {

namespace {

QString PathIn(const QString& folder) {
    return QDir(folder).filePath(QString::fromLatin1(practice_file::FileName));
}

int ReadInt(const QSettings& ini, const char* key, int fallback, int low, int high) {
    bool ok = false;
    const int value = ini.value(QLatin1String(key)).toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

bool ReadBool(const QSettings& ini, const char* key, bool fallback) {
    const QVariant value = ini.value(QLatin1String(key));
    return value.isValid() ? value.toBool() : fallback;
}

} // namespace

PracticeSettings LoadPracticeSettings(const QString& folder) {
    const QSettings ini(PathIn(folder), QSettings::IniFormat);
    PracticeSettings p;
    const TempoRamp defaults;
    p.rampOn = ReadBool(ini, "ramp/on", false);
    p.ramp.step = ReadInt(ini, "ramp/step", defaults.step, ramp_limits::LowestStep, ramp_limits::HighestStep);
    p.ramp.every =
        ReadInt(ini, "ramp/every", defaults.every, ramp_limits::LowestEvery, ramp_limits::HighestEvery);
    p.ramp.ceiling =
        ReadInt(ini, "ramp/ceiling", defaults.ceiling, tempo_range::Slowest, tempo_range::Fastest);
    p.ramp.restart = ReadBool(ini, "ramp/restart", false);
    const int start = ReadInt(ini, "ramp/startTempo", 0, tempo_range::Slowest, tempo_range::Fastest);
    if (start > 0) p.rampStartTempo = start;
    p.checkOn = ReadBool(ini, "check/on", false);
    p.inputPort = ini.value(QStringLiteral("check/inputPort")).toString();
    p.scoring.windowMs = ReadInt(ini, "check/windowMs", static_cast<int>(score_defaults::WindowMs),
                                 static_cast<int>(score_defaults::ShortestWindowMs),
                                 static_cast<int>(score_defaults::LongestWindowMs));
    p.scoring.anyOctave = ReadBool(ini, "check/anyOctave", false);
    p.muteMelody = ReadBool(ini, "check/muteMelody", false);
    return p;
}

bool SavePracticeSettings(const QString& folder, const PracticeSettings& p) {
    QSettings ini(PathIn(folder), QSettings::IniFormat);
    ini.setValue(QStringLiteral("ramp/on"), p.rampOn);
    ini.setValue(QStringLiteral("ramp/step"), p.ramp.step);
    ini.setValue(QStringLiteral("ramp/every"), p.ramp.every);
    ini.setValue(QStringLiteral("ramp/ceiling"), p.ramp.ceiling);
    ini.setValue(QStringLiteral("ramp/restart"), p.ramp.restart);
    if (p.rampStartTempo) {
        ini.setValue(QStringLiteral("ramp/startTempo"), *p.rampStartTempo);
    } else {
        ini.remove(QStringLiteral("ramp/startTempo"));
    }
    ini.setValue(QStringLiteral("check/on"), p.checkOn);
    ini.setValue(QStringLiteral("check/inputPort"), p.inputPort);
    ini.setValue(QStringLiteral("check/windowMs"), static_cast<int>(p.scoring.windowMs));
    ini.setValue(QStringLiteral("check/anyOctave"), p.scoring.anyOctave);
    ini.setValue(QStringLiteral("check/muteMelody"), p.muteMelody);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

} // namespace orbel
