#pragma once
// What the play controller has the window show (PlayScreen): the controls in the playing or the idle
// state, the tempo bar following a ramp, the repetition label with its tempo mark beside the circle, the
// score of a repetition under it, and the keyboard without the keys of a performance.
// Thread: the window's.

#include "ui/play_controller.h"

namespace orbel {

struct ControlPanel;
struct LabelPosition;
struct RepetitionScore;
struct Settings;
class StudyViews;
class ViewSet;

class PlayDisplay final : public PlayScreen {
public:
    PlayDisplay(ControlPanel& controls, ViewSet& views, const StudyViews& studyViews,
                const Settings& settings);

    void showPlaying(bool isPlaying) override;
    void enableQuitAndReference(bool enabled) override;
    void showRepeatLabel(const QString& label, int tempo) override;
    void hideRepeatLabel() override;
    void showTempo(int tempo) override;
    void clearPlayedKeys() override;
    // The score of a repetition, under the repetition label.
    void showScore(const RepetitionScore& score);

private:
    // Where the repetition label and the score of a repetition go: beside the circle diagram.
    LabelPosition repeatLabelPosition() const;

    ControlPanel& controls_;
    ViewSet& views_;
    const StudyViews& studyViews_;
    const Settings& settings_;
};

} // namespace orbel
