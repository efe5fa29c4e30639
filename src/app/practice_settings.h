#pragma once
// What the practice window sets, kept in practice.ini in the program folder beside the settings record,
// which stays as it is: the tempo ramp and the check of the user's playing.

#include "theory/performance_score.h"
#include "theory/tempo_ramp.h"

#include <QString>
#include <optional>

namespace orbel {

namespace practice_file {
static constexpr const char* FileName = "practice.ini";
} // namespace practice_file

struct PracticeSettings {
    bool rampOn = false;
    TempoRamp ramp;
    std::optional<int> rampStartTempo; // where the last ramp began, for "back to the start"
    bool checkOn = false;
    QString inputPort; // empty: the first input there is
    ScoreOptions scoring;
    bool muteMelody = false;
};

// The settings in folder's practice.ini; defaults for whatever is missing or out of range.
PracticeSettings LoadPracticeSettings(const QString& folder);
// False when the file cannot be written.
bool SavePracticeSettings(const QString& folder, const PracticeSettings& settings);

} // namespace orbel
