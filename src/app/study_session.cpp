#include "app/study_session.h"

#include "theory/prepare_build.h"

#include <algorithm>
#include <cstddef>

namespace orbel {

MovedRoot MoveRoot(int root, int step) {
    const int moved = root + step;
    MovedRoot result;
    if (moved >= pitch_classes::Count) result.octaveCarry = 1;
    if (moved < 0) result.octaveCarry = -1;
    result.root = ((moved % pitch_classes::Count) + pitch_classes::Count) % pitch_classes::Count;
    return result;
}

int StartingTempo(int stored) {
    if (stored < tempo_range::Slowest) return tempo_range::Fallback;
    return std::min(stored, tempo_range::Fastest);
}

StudyItems StudySession::loadItems(const QString& programFolder) {
    StudyItems items =
        LoadStudyItems(state_.settings.StudyType, state_.settings, programFolder, state_.study);
    state_.itemCount = static_cast<int>(items.entries.size());
    return items;
}

int StudySession::currentItem() const {
    const int type = state_.settings.StudyType;
    if (type < 0 || type >= settings_limits::StudyItemSlots) return -1;
    return state_.settings.StudyItem[static_cast<std::size_t>(type)];
}

BuildMessage StudySession::build(bool isChangeOnly) {
    StudyState& s = state_;
    return BuildSequenceForSelection(s.sequence, s.settings, s.study.catalogue, s.study.phrases, s.iiviTables,
                                     isChangeOnly);
}

void StudySession::choose(int item) {
    Settings& s = state_.settings;
    state_.sequence.OctaveShift = 0;
    if (s.StudyType >= 0 && s.StudyType < settings_limits::StudyItemSlots)
        s.StudyItem[static_cast<std::size_t>(s.StudyType)] = static_cast<std::int16_t>(item);
}

BuildMessage StudySession::selectItem(int item) {
    choose(item);
    return build(false);
}

void StudySession::moveRoot(int step) {
    const MovedRoot moved = MoveRoot(state_.settings.RootKey, step);
    state_.sequence.OctaveShift = static_cast<std::int16_t>(state_.sequence.OctaveShift + moved.octaveCarry);
    state_.settings.RootKey = static_cast<std::int16_t>(moved.root);
}

ItemTexts StudySession::texts(int item, int root) const {
    return MakeItemTexts(state_.settings, state_.study.catalogue, state_.study.phrases,
                         state_.sequence.MajorSpelling, item, root);
}

bool StudySession::isPhrase() const {
    return state_.settings.StudyType >= study_type::IIVIPhrase;
}

bool StudySession::isFavourite(int item) const {
    // Only phrases carry favourite marks; the phrase list of an earlier study type says nothing about the
    // items of a catalogue.
    if (!isPhrase()) return false;
    const auto& marks = state_.study.phrases.PhraseFavourite;
    return item >= 0 && item < static_cast<int>(marks.size()) && marks[static_cast<std::size_t>(item)] == 1;
}

std::vector<int> StudySession::favourites() const {
    std::vector<int> items;
    for (int k = 0; k < state_.itemCount; ++k) {
        if (isFavourite(k)) items.push_back(k);
    }
    return items;
}

} // namespace orbel
