// A phrase file: whatever it holds, every phrase parses and beams; marks written back read back exactly
// (same names, marks, comments and lines), and saving the same marks again changes nothing.

#include "datafiles/phrase_file.h"
#include "fuzz_support.h"
#include "theory/prepare_build.h"

using namespace orbel;

namespace {

constexpr int MostItemsBuilt = 12;

// A name as the user wrote it: stars and the blanks around them are the marks, not the name.
std::string Plain(std::string name) {
    for (std::size_t at; (at = name.find("★")) != std::string::npos;)
        name.erase(at, std::string_view("★").size());
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = fuzz::Put("user.txt", fuzz::Bytes(data, size));
    PhraseList list;
    if (!ReadPhraseFile(list, path).error.isEmpty() || list.count() == 0) return 0;

    static const IIVITables tables = [] {
        IIVITables t;
        InitIIVITables(t);
        return t;
    }();
    for (int item = 0; item < std::min<int>(list.count(), MostItemsBuilt); ++item) {
        Settings settings;
        ApplyLoadRules(settings);
        settings.StudyType = study_type::UserPhrase;
        settings.StudyItem[study_type::UserPhrase] = static_cast<std::int16_t>(item);
        settings.RootKey = static_cast<std::int16_t>(item % 12);
        PlaySequence seq;
        BuildSequenceForSelection(seq, settings, {}, list, tables, false);
        fuzz::Require(seq.SeqCount >= 0 && seq.SeqCount <= sequence_limits::Notes, "the sequence fits");
    }

    PhraseList marked = list;
    for (std::size_t i = 0; i < marked.PhraseFavourite.size(); ++i)
        marked.PhraseFavourite[i] = static_cast<std::int16_t>((i + size) % 2);
    const QByteArray before = fuzz::Get(path);
    if (!SaveFavourites(marked, path)) {
        fuzz::Require(fuzz::Get(path) == before, "a refused save leaves the file as it was");
        return 0;
    }
    PhraseList again;
    fuzz::Require(ReadPhraseFile(again, path).error.isEmpty(), "the saved file reads");
    fuzz::Require(again.PhraseFavourite == marked.PhraseFavourite, "the marks read back");
    fuzz::Require(again.count() == list.count(), "the same phrases");
    for (int i = 0; i < list.count(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        fuzz::Require(Plain(again.PhraseNames[at]) == Plain(list.PhraseNames[at]), "the same names");
    }
    fuzz::Require(again.PhraseComment == list.PhraseComment, "the same comments");
    fuzz::Require(again.PhraseLines == list.PhraseLines, "the same lines");
    fuzz::Require(again.PhraseBeats == list.PhraseBeats, "the same metres");
    const QByteArray saved = fuzz::Get(path);
    fuzz::Require(SaveFavourites(again, path) && fuzz::Get(path) == saved, "a second save changes nothing");
    return 0;
}
