// The catalogue files: whatever a scale, chord or pattern file holds, every item it lists builds in every
// key into a sequence the player and the views can hold.

#include "datafiles/catalogue_reader.h"
#include "fuzz_support.h"
#include "theory/prepare_build.h"

using namespace orbel;

namespace {
constexpr int MostItemsBuilt = 24;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes = fuzz::Bytes(data, size);
    for (const char* name : {"scale.txt", "code.txt", "ptn.txt"})
        fuzz::Put(name, bytes);
    Catalogue catalogue;
    const int counts[] = {ReadScaleFile(catalogue, fuzz::Scratch()),
                          ReadChordFile(catalogue, fuzz::Scratch()),
                          ReadPatternFile(catalogue, fuzz::Scratch())};
    static const IIVITables tables = [] {
        IIVITables t;
        InitIIVITables(t);
        return t;
    }();
    for (int type = study_type::Scale; type <= study_type::IIVIPattern; ++type) {
        fuzz::Require(counts[type] >= 0, "a count is never negative");
        for (int item = 0; item < std::min(counts[type], MostItemsBuilt); ++item) {
            Settings settings;
            ApplyLoadRules(settings);
            settings.StudyType = static_cast<std::int16_t>(type);
            settings.StudyItem[static_cast<std::size_t>(type)] = static_cast<std::int16_t>(item);
            settings.RootKey = static_cast<std::int16_t>(item % 12);
            settings.UpDown = static_cast<std::int16_t>(item % 2);
            PlaySequence seq;
            BuildSequenceForSelection(seq, settings, catalogue, {}, tables, false);
            fuzz::Require(seq.SeqCount >= 0 && seq.SeqCount <= sequence_limits::Notes, "the sequence fits");
        }
    }
    return 0;
}
