#pragma once
// The build behind every change of the selection: the play sequence for the current study type, item and
// root, fitted into the playable range and beamed. The main window calls it and then redraws its views;
// orbel-export calls it to build an item without a window.

#include "theory/build_result.h"
#include "theory/catalogue.h"
#include "theory/phrase_list.h"
#include "theory/play_sequence.h"
#include "theory/settings.h"
#include "theory/vocabulary.h"

namespace orbel {

namespace study_type {
static constexpr int Scale = 0;
static constexpr int Chord = 1;
static constexpr int IIVIPattern = 2;
static constexpr int IIVIPhrase = 3;
static constexpr int UserPhrase = 4;
} // namespace study_type

// Builds item StudyItem(StudyType) of the current study type on settings.RootKey into seq. For the phrase
// types, isChangeOnly (only the root changed since the last build) moves the parsed phrase to the new root
// instead of parsing it again, and LastBuiltRoot follows RootKey. Then the octave shift is fitted and the
// beams are computed.
// A refused item leaves an empty sequence and gives the message to show; an unknown study type or an item
// outside its list gives an empty sequence.
BuildMessage BuildSequenceForSelection(PlaySequence& seq, Settings& settings, const Catalogue& catalogue,
                                       const PhraseList& phrases, const IIVITables& tables,
                                       bool isChangeOnly);

} // namespace orbel
