#include "views/circle_content.h"

#include "app/program_state.h"
#include "theory/note_names.h"
#include "theory/numbers.h"
#include "theory/prepare_build.h"

namespace orbel {

namespace {

// The II, V and I chords' scales lie this far apart in the II–V–I table; the V7 treatment "Ⅱ♭７" puts V a
// semitone above the root.
constexpr int IIVIChordStride = 12;
constexpr int FlatSecondTreatment = 4;

} // namespace

CircleContent CircleContentFor(const StudyState& study, int item, const CircleGeometry& points) {
    const Settings& s = study.settings;
    CircleContent c;
    c.shown = s.ShowDiagram;
    c.studyType = s.StudyType;
    c.rootKey = s.RootKey;
    c.majorSpelling = study.sequence.MajorSpelling;
    const auto at = [item](const CatalogueColumn& column) {
        return item >= 0 && item < static_cast<int>(column.size()) ? column[static_cast<std::size_t>(item)]
                                                                   : std::string();
    };
    const Catalogue& catalogue = study.study.catalogue;
    c.steps = at(s.StudyType == study_type::Scale ? catalogue.ScaleSteps : catalogue.ChordSteps);
    c.patternDigits = at(catalogue.PatternDigits);
    const int mode = s.IIVIMode[0];
    const int treatment = s.IIVIMode[1];
    for (std::size_t k = 0; k < 3; ++k) {
        const int index = static_cast<int>(k) * IIVIChordStride + 2 * treatment + mode;
        const auto& scales = study.iiviTables.IIVIScales;
        c.chordScales[k] = index >= 0 && index < static_cast<int>(scales.size())
                               ? scales[static_cast<std::size_t>(index)]
                               : "";
    }
    c.fifthIsFlatSecond = treatment == FlatSecondTreatment;
    // Where the marker goes for each note: a scale's or chord's note on the outer ring at its pitch class, a
    // pattern's note on the ring the build gave it.
    const PlaySequence& seq = study.sequence;
    int tick = 0;
    for (int i = 0; i < seq.SeqCount; ++i) {
        const auto n = static_cast<std::size_t>(i);
        CircleContent::Marker m;
        m.tick = tick;
        const auto pc = static_cast<std::size_t>(PitchClass(seq.SeqPitch[n]));
        if (s.StudyType == study_type::IIVIPattern) {
            // The cell of the note's pitch class on its chord's ring, on whole logical units.
            const RingSets sets = RingSetsOf(seq.SeqRing[n]);
            m.x = RoundHalfEven(points[sets.x][pc]);
            m.y = RoundHalfEven(points[sets.y][pc]);
        } else {
            m.x = points[circle_sets::OuterRingX][pc];
            m.y = points[circle_sets::OuterRingY][pc];
        }
        if (seq.SeqRest[n] != 1) c.markers.push_back(m);
        tick += seq.SeqDur[n];
    }
    for (std::size_t i = 0; i < c.colours.size(); ++i)
        c.colours[i] = s.ViewColour[i];
    return c;
}

} // namespace orbel
