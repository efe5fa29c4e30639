#pragma once
// Small helpers for the sequence-builder tests: reading the valid part of a sequence as vectors, and
// catalogue and phrase lists holding just the items a test needs.

#include "theory/catalogue.h"
#include "theory/phrase_list.h"
#include "theory/play_sequence.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orbel::test {

template <typename T> std::vector<int> ValidPart(const PerNote<T>& field, const PlaySequence& seq) {
    return std::vector<int>(field.begin(), field.begin() + seq.SeqCount);
}

inline std::vector<int> Pitches(const PlaySequence& seq) {
    return ValidPart(seq.SeqPitch, seq);
}
inline std::vector<int> Durations(const PlaySequence& seq) {
    return ValidPart(seq.SeqDur, seq);
}
inline std::vector<int> Beams(const PlaySequence& seq) {
    return ValidPart(seq.SeqBeam, seq);
}

// The notes 0..count-1 of a sequence with the given pitches, durations and rest flags (all sounding when
// rests is empty).
inline PlaySequence SequenceOf(const std::vector<int>& pitches, const std::vector<int>& durations,
                               const std::vector<int>& rests = {}) {
    PlaySequence seq;
    seq.SeqCount = static_cast<std::int16_t>(durations.size());
    for (std::size_t i = 0; i < durations.size(); ++i) {
        seq.SeqPitch[i] = static_cast<std::int16_t>(i < pitches.size() ? pitches[i] : 24);
        seq.SeqDur[i] = static_cast<std::int16_t>(durations[i]);
        seq.SeqRest[i] = static_cast<std::int16_t>(i < rests.size() ? rests[i] : 0);
    }
    return seq;
}

struct CatalogueEntry {
    std::string name;
    std::string definition;
};

inline Catalogue CatalogueOf(const std::vector<CatalogueEntry>& scales,
                             const std::vector<CatalogueEntry>& chords,
                             const std::vector<CatalogueEntry>& patterns) {
    Catalogue catalogue;
    auto fill = [](const std::vector<CatalogueEntry>& entries, CatalogueColumn& names, CatalogueColumn& defs,
                   std::int16_t& count) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            names[i] = entries[i].name;
            defs[i] = entries[i].definition;
        }
        count = static_cast<std::int16_t>(entries.size());
    };
    fill(scales, catalogue.ScaleNames, catalogue.ScaleSteps, catalogue.ScaleCount);
    fill(chords, catalogue.ChordNames, catalogue.ChordSteps, catalogue.ChordCount);
    fill(patterns, catalogue.PatternNames, catalogue.PatternDigits, catalogue.PatternCount);
    return catalogue;
}

inline void AddPhrase(PhraseList& phrases, std::vector<std::string> lines, std::int16_t beats = 4) {
    phrases.PhraseNames.push_back("phrase " + std::to_string(phrases.count()));
    phrases.PhraseFavourite.push_back(0);
    phrases.PhraseBeats.push_back(beats);
    phrases.PhraseComment.emplace_back();
    phrases.PhraseLines.push_back(std::move(lines));
}

// The two-bar II–V phrase in D minor used by several tests.
inline std::vector<std::string> DorianPhraseLines() {
    return {"*Dm7", "3D5", "3F5", "\\", "3A5", "3C5"};
}

} // namespace orbel::test
