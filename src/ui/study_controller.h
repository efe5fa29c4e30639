#pragma once
// Window thread. The study on show, behind the main window: the study type and item chosen, the build of
// the play sequence, the titles over the staff, the root moves and the favourite marks. It owns no widget:
// the window forwards the user's choices here and shows what it is told through StudyScreen.

#include "app/study_session.h"

#include <QObject>
#include <QStringList>
#include <string>

namespace orbel {

struct ProgramState;
struct StudyChange;
class PlayerChannel;
class Midi1;
class Prompter;

// What the study controller has the window show.
class StudyScreen {
public:
    StudyScreen() = default;
    virtual ~StudyScreen() = default;
    StudyScreen(const StudyScreen&) = delete;
    StudyScreen& operator=(const StudyScreen&) = delete;

    // The rows of the study frame a study type uses, and the play menu (phrases only).
    virtual void showRowsFor(int studyType) = 0;
    // The item list's entries, none of them selected; its change handler does not run.
    virtual void listItems(const QStringList& entries) = 0;
    // The item list's selected entry (−1 none) and its length.
    virtual int shownItem() const = 0;
    virtual int itemCount() const = 0;
    // Selects an entry of the item list without running its change handler.
    virtual void markItem(int index) = 0;
    virtual void showFavourite(bool on) = 0;
    // The keyboard's options are shown with the keyboard.
    virtual void showKeyboardOptions(bool shown) = 0;
    // Redraws the views for the sequence and the titles as they are now.
    virtual void drawScore() = 0;
};

class StudyController : public QObject {
    Q_OBJECT

public:
    StudyController(ProgramState& state, Prompter& prompter, Midi1& midi, StudyScreen& screen);

    // Where a new root is requested while the player plays; none before the player is there.
    void setPlayer(PlayerChannel* player) { player_ = player; }

    // The user's choices, each as its control's change handler.
    void studyTypeChosen(int entry);
    void itemChosen(int entry);
    // which: 0 the II–V–I key, 1 the V7 treatment.
    void iiviModeChosen(int which, int entry);
    void favouriteToggled(bool on);

    // Root moves: by semitones with the octave carried, a fourth up without carrying, an octave, a pitch
    // class chosen on the circle.
    void rootStep(int step);
    void fourthUp();
    void octaveStep(int step);
    void rootChosen(int pitchClass);
    // A key of the keyboard view pressed (the root follows at the release, when the keyboard sets it) and
    // released; sounded: whether the press sounded a key.
    void keyPressed(int pitch);
    void keyReleased(bool sounded);

    // Fills the item list for the current study type and selects its first item.
    void fillItems();
    // Builds the sequence for the current selection and redraws the views.
    void rebuild(bool isChangeOnly);
    // The titles and the keyboard options for item pat on root, before a build.
    void initAtEveryChange(int pat, int root);
    // The player moved the selection and built it: the window shows it.
    void showChange(const StudyChange& change);
    // Writes the favourite marks back into the user's file when one was toggled there (at quitting).
    void saveUserFavourites();

    bool isPhrase() const { return session_.isPhrase(); }
    int currentItem() const { return session_.currentItem(); }
    const std::string& TitleText() const { return titleText_; }
    const std::string& CommentText() const { return commentText_; }
    int FavouritesChanged() const { return favouritesChanged_; }

private:
    ProgramState& state_;
    StudySession session_;
    Prompter& prompter_;
    Midi1& midi_;
    StudyScreen& screen_;
    PlayerChannel* player_ = nullptr;

    int favouritesChanged_ = 0;
    // The study type whose list was shown before, for the favourites written back when it is left.
    int LastCfgScale = -1;
    bool phrasesFromUserFile_ = false;
    std::string titleText_;
    std::string commentText_;
};

} // namespace orbel
