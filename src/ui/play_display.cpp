// What the play controller has the window show.
// Thread: the window's.

#include "ui/play_display.h"

#include "sound/play_timing.h"
#include "theory/settings.h"
#include "ui/control_panel.h"
#include "ui/practice/score_text.h"
#include "ui/study_views.h"
#include "views/circle_view.h"
#include "views/view_set.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace orbel {

PlayDisplay::PlayDisplay(ControlPanel& controls, ViewSet& views, const StudyViews& studyViews,
                         const Settings& settings)
    : controls_(controls), views_(views), studyViews_(studyViews), settings_(settings) {}

LabelPosition PlayDisplay::repeatLabelPosition() const {
    const CirclePlace circle = studyViews_.circle().place;
    return RepeatLabelPosition(static_cast<float>(circle.centreX), static_cast<float>(circle.centreY),
                               static_cast<float>(circle.radius), settings_.ShowKeyboard);
}

void PlayDisplay::showScore(const RepetitionScore& score) {
    const LabelPosition at = repeatLabelPosition();
    views_.DrawScoreLine(at.x, at.y, ScoreLine(score));
}

void PlayDisplay::enableQuitAndReference(bool enabled) {
    controls_.quitButton->setEnabled(enabled);
    controls_.referenceBFlatButton->setEnabled(enabled);
}

void PlayDisplay::showRepeatLabel(const QString& label, int tempo) {
    const LabelPosition at = repeatLabelPosition();
    views_.DrawTempoMark(at.x, at.y, tempo, label);
}

void PlayDisplay::showTempo(int tempo) {
    controls_.tempoBar->setValue(tempo);
}

void PlayDisplay::hideRepeatLabel() {
    controls_.repeatLabel->hide();
    views_.EraseTempoMark();
}

void PlayDisplay::clearPlayedKeys() {
    views_.DrawKeys();
}

void PlayDisplay::showPlaying(bool isPlaying) {
    ControlPanel& c = controls_;
    for (QWidget* w : std::initializer_list<QWidget*>{
             c.quitButton, c.referenceBFlatButton, c.rootUpButton, c.rootDownButton, c.playButton,
             c.playOnceButton, c.metronomeButton, c.referenceAButton, c.itemList, c.studyTypeList,
             c.keyModeList, c.treatmentList, c.repeatCountList, c.octaveUpButton, c.octaveDownButton})
        w->setEnabled(!isPlaying);
    c.stopButton->setEnabled(isPlaying);
    c.repeatBox->setEnabled(!isPlaying);
    for (QRadioButton* option : c.progressionOptions)
        option->setEnabled(!isPlaying);
    (isPlaying ? c.stopButton : c.playButton)->setFocus();
}

} // namespace orbel
