#pragma once
// What the player asks of the main window and its views while it plays: the play cursors, the repetition
// label, the enabled states of the controls, the rebuild of the play sequence and the selection of an item.
// Every call does nothing by default, so the player runs without a window (tests, the player before the
// main window exists) and a window overrides only what it shows.

#include <QString>
#include <vector>

namespace orbel {

// The staff's x position and row base of every note of the play sequence, as the staff laid them out;
// copied into the timeline for the play cursor.
struct StaffPositions {
    std::vector<float> noteX;
    std::vector<float> rowBase;
};

class PlayerHost {
public:
    PlayerHost() = default;
    virtual ~PlayerHost() = default;
    PlayerHost(const PlayerHost&) = delete;
    PlayerHost& operator=(const PlayerHost&) = delete;

    // Staff: the play cursor at a tick of the timeline (first: the start of a play-through), and its removal.
    virtual void MovePlayCursor(int /*tick*/, bool /*first*/) {}
    virtual void HidePlayCursor() {}

    // Circle diagram: its centre and radius for the current study and views, the sounding note at a tick,
    // and the end of a play-through.
    virtual void CircleLayout() {}
    virtual void CircleShowTick(int /*tick*/, bool /*first*/) {}
    virtual void CircleEndPlay() {}

    // Keyboard: the key of the melody note at a tick, the end of a play-through, and the plain keys.
    virtual void ShowPlayedKey(int /*tick*/) {}
    virtual void EndPlayKeyboard() {}
    virtual void DrawKeys() {}

    // The repetition label ("2/4", or empty without repeat) with the tempo mark beside the circle diagram
    // (see RepeatLabelPosition), and the label's removal.
    virtual void ShowRepeatLabel(const QString& /*label*/, int /*tempo*/) {}
    virtual void hideRepeatLabel() {}

    // Switches the controls between the playing and the idle state.
    virtual void MakeSound_Bot_show(bool /*isPlaying*/) {}
    // Quit (Command1) and the B flat reference tone (Command2): the only controls the single plays disable.
    virtual void setQuitAndReferenceEnabled(bool /*enabled*/) {}

    // Rebuilds the play sequence for the current selection and redraws the views.
    virtual void Prepair4PLAY(bool /*isChangeOnly*/) {}
    // Puts the staff on the given row.
    virtual void SetStaffRow(int /*row*/) {}
    // Redraws the views that are shown, with the keys of the sequence marked: the state after a single play.
    virtual void redrawViews() {}
    virtual StaffPositions staffPositions() const { return {}; }

    // The item list: how many entries it has, and choosing entry item exactly as the user would, so that
    // the window's item change runs.
    virtual int itemCount() const { return 0; }
    virtual void selectItem(int /*item*/) {}
};

} // namespace orbel
