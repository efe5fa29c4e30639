#include "ui/study_controller.h"

#include "app/program_state.h"
#include "app/prompter.h"
#include "datafiles/phrase_file.h"
#include "sound/midi1.h"
#include "sound/player_channel.h"
#include "sound/player_events.h"
#include "theory/kihon.h"
#include "theory/prepare_build.h"
#include "theory/sequence_builder.h"

namespace orbel {

StudyController::StudyController(ProgramState& state, Prompter& prompter, Midi1& midi, StudyScreen& screen)
    : state_(state), session_(state), prompter_(prompter), midi_(midi), screen_(screen) {}

void StudyController::studyTypeChosen(int entry) {
    if (entry < 0) return;
    Settings& s = state_.settings;
    ClearSequence(state_.sequence);
    if (state_.Initialising != flag::True) s.StudyType = static_cast<std::int16_t>(entry);
    screen_.showRowsFor(entry);

    // Favourite marks changed on a user-defined list go back into its file before the list is replaced.
    if (!s.UserFilePath.empty() && favouritesChanged_ > 0 && state_.Initialising != flag::True &&
        LastCfgScale == study_type::UserPhrase && phrasesFromUserFile_) {
        SaveFavourites(state_.study.phrases, QString::fromStdString(s.UserFilePath));
    }
    favouritesChanged_ = 0;
    LastCfgScale = s.StudyType;
    fillItems();
    state_.sequence.OctaveShift = 0;
}

void StudyController::fillItems() {
    screen_.listItems({});
    const StudyItems items = session_.loadItems(state_.programFolder);
    phrasesFromUserFile_ = items.fromUserFile;
    for (const QString& message : items.messages)
        prompter_.message(message);
    screen_.listItems(items.entries);
    if (items.entries.isEmpty()) return;
    screen_.markItem(0);
    itemChosen(screen_.shownItem());
}

void StudyController::itemChosen(int entry) {
    if (entry < 0) return;
    state_.sequence.OctaveShift = 0;
    Settings& s = state_.settings;
    if (s.StudyType >= 0 && s.StudyType < settings_limits::StudyItemSlots)
        s.StudyItem[static_cast<std::size_t>(s.StudyType)] = static_cast<std::int16_t>(entry);
    midi_.SendProgramChanges();
    rebuild(false);
}

void StudyController::iiviModeChosen(int which, int entry) {
    if (state_.Initialising == flag::True || entry < 0) return;
    state_.sequence.OctaveShift = 0;
    const int remembered = screen_.shownItem();
    state_.settings.IIVIMode[static_cast<std::size_t>(which)] = static_cast<std::int16_t>(entry);
    fillItems();
    if (remembered < 0 || remembered >= screen_.itemCount()) return;
    screen_.markItem(remembered);
    itemChosen(screen_.shownItem());
}

void StudyController::favouriteToggled(bool on) {
    Settings& s = state_.settings;
    PhraseList& phrases = state_.study.phrases;
    if (s.StudyType < 0 || s.StudyType >= settings_limits::StudyItemSlots) return;
    const int item = s.StudyItem[static_cast<std::size_t>(s.StudyType)];
    if (item < 0 || item >= phrases.count()) return;
    phrases.PhraseFavourite[static_cast<std::size_t>(item)] = on ? 1 : 0;
    ++favouritesChanged_;
}

void StudyController::rootStep(int step) {
    session_.moveRoot(step);
    midi_.SendProgramChanges();
    // A phrase moves to the new root, as a press on the circle moves it, instead of being read again in
    // the key it is written in.
    rebuild(true);
}

void StudyController::fourthUp() {
    // A fourth up without carrying into the octave; a phrase is moved, not read again.
    state_.settings.RootKey = static_cast<std::int16_t>(MoveRoot(state_.settings.RootKey, 5).root);
    midi_.SendProgramChanges();
    rebuild(true);
}

void StudyController::octaveStep(int step) {
    state_.sequence.OctaveShift = static_cast<std::int16_t>(state_.sequence.OctaveShift + step);
    rebuild(true);
}

void StudyController::rootChosen(int pitchClass) {
    if (state_.Initialising == flag::True) return;
    state_.settings.RootKey = static_cast<std::int16_t>(pitchClass);
    if (player_ != nullptr) player_->root(pitchClass);
    midi_.SendProgramChanges();
    rebuild(isPhrase());
}

void StudyController::keyPressed(int pitch) {
    // The sequence follows at the release.
    Settings& s = state_.settings;
    if (s.KeyboardSetsRoot) s.RootKey = static_cast<std::int16_t>(pitch % pitch_classes::Count);
}

void StudyController::keyReleased(bool sounded) {
    if (!state_.settings.KeyboardSetsRoot) return;
    if (player_ != nullptr && sounded) player_->root(state_.settings.RootKey);
    rebuild(isPhrase());
}

void StudyController::initAtEveryChange(int pat, int root) {
    screen_.showKeyboardOptions(state_.settings.ShowKeyboard);
    const ItemTexts texts = session_.texts(pat, root);
    titleText_ = texts.TitleText;
    if (isPhrase()) commentText_ = texts.CommentText;
}

void StudyController::rebuild(bool isChangeOnly) {
    if (state_.Initialising == flag::True) return;
    Settings& s = state_.settings;
    if (s.StudyType < 0 || s.StudyType >= settings_limits::StudyItemSlots) return;
    const int item = s.StudyItem[static_cast<std::size_t>(s.StudyType)];
    initAtEveryChange(item, s.RootKey);
    if (const BuildMessage message = session_.build(isChangeOnly))
        prompter_.message(QString::fromStdString(*message));
    if (isPhrase()) {
        screen_.showFavourite(session_.isFavourite(item));
        // A phrase sets the key it is written in: name that key, not the one before the build.
        initAtEveryChange(item, s.RootKey);
    }
    screen_.drawScore();
}

void StudyController::showChange(const StudyChange& change) {
    Settings& s = state_.settings;
    s.RootKey = change.RootKey;
    if (change.sequence) state_.sequence = *change.sequence;
    state_.sequence.OctaveShift = change.OctaveShift;
    if (change.item >= 0 && change.item < screen_.itemCount()) {
        if (s.StudyType >= 0 && s.StudyType < settings_limits::StudyItemSlots)
            s.StudyItem[static_cast<std::size_t>(s.StudyType)] = static_cast<std::int16_t>(change.item);
        if (screen_.shownItem() != change.item) screen_.markItem(change.item);
    }
    initAtEveryChange(change.item, s.RootKey);
    if (isPhrase()) screen_.showFavourite(session_.isFavourite(change.item));
    screen_.drawScore();
}

void StudyController::saveUserFavourites() {
    const Settings& s = state_.settings;
    // The user's file is written only when a favourite was toggled in it.
    if (s.StudyType == study_type::UserPhrase && phrasesFromUserFile_ && favouritesChanged_ > 0 &&
        !s.UserFilePath.empty())
        SaveFavourites(state_.study.phrases, QString::fromStdString(s.UserFilePath));
}

} // namespace orbel
