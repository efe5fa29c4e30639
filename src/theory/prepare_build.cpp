#include "theory/prepare_build.h"

#include "theory/beams.h"
#include "theory/fit_range.h"
#include "theory/phrase_parser.h"
#include "theory/sequence_builder.h"

#include <cstddef>

namespace orbel {

namespace {

int SelectedItem(const Settings& settings) {
    const int type = settings.StudyType;
    if (type < 0 || type >= settings_limits::StudyItemSlots) return -1;
    return settings.StudyItem[static_cast<std::size_t>(type)];
}

BuildMessage BuildForStudyType(PlaySequence& seq, Settings& settings, const Catalogue& catalogue,
                               const PhraseList& phrases, const IIVITables& tables, bool isChangeOnly) {
    const int item = SelectedItem(settings);
    const int root = settings.RootKey;
    switch (settings.StudyType) {
    case study_type::Scale:
    case study_type::Chord:
        ClearSequence(seq);
        return BuildScaleOrChord(seq, settings, catalogue, settings.StudyType == study_type::Scale, item,
                                 root);
    case study_type::IIVIPattern:
        ClearSequence(seq);
        return BuildIIVIPattern(seq, settings, catalogue, tables, item, root);
    case study_type::IIVIPhrase:
    case study_type::UserPhrase: {
        BuildMessage message;
        if (isChangeOnly) {
            TransposeSequence(seq, settings, settings.RootKey - seq.LastBuiltRoot);
        } else {
            ClearSequence(seq);
            message = ParsePhrase(seq, settings, phrases, item);
        }
        seq.LastBuiltRoot = settings.RootKey;
        return message;
    }
    default:
        ClearSequence(seq);
        return {};
    }
}

} // namespace

BuildMessage BuildSequenceForSelection(PlaySequence& seq, Settings& settings, const Catalogue& catalogue,
                                       const PhraseList& phrases, const IIVITables& tables,
                                       bool isChangeOnly) {
    BuildMessage message = BuildForStudyType(seq, settings, catalogue, phrases, tables, isChangeOnly);
    FitRange(seq, settings);
    ComputeBeams(seq);
    return message;
}

} // namespace orbel
