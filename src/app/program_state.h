#pragma once
// The state of one run of the trainer, owned by the entry and handed by reference
// to the windows and modules that work on it.

#include "app/study_session.h"

#include <QString>
#include <cstdint>

namespace orbel {

namespace flag {
// The run's state flags (the stop request, the start) hold −1 for true and 0 for false. The settings'
// switches are bool; how the settings file spells them is the record's business (theory/settings_table.h).
static constexpr std::int16_t True = -1;
static constexpr std::int16_t False = 0;
} // namespace flag

// The current study (its settings, catalogue or phrase list, the II–V–I tables, the circle diagram's points
// and the play sequence built from them) and what else the run keeps.
struct ProgramState : StudyState {
    QString programFolder;

    // −1 while the main window fills its controls at start.
    std::int16_t Initialising = flag::False;

    int LayoutMode = 1;
    float FormHeightAtLoad = 0;
    float FormWidthAtLoad = 0;
    QString MusicFontPath;
    QString MusicFontName;
};

} // namespace orbel
