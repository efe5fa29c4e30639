// The study frame's lists and rows, as the study controller has them show.
// Thread: the window's.

#include "ui/study_frame.h"

#include "datafiles/narrow_text.h"
#include "theory/kihon.h"
#include "theory/prepare_build.h"
#include "theory/settings.h"
#include "ui/control_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QWidget>
#include <utility>

namespace orbel {

namespace {

const QStringList StudyTypeEntries = {QStringLiteral(" スケール"), QStringLiteral(" コード"),
                                      QStringLiteral(" ⅡⅤⅠパターン"), QStringLiteral(" ⅡⅤⅠフレーズ")};
const QStringList KeyModeEntries = {QStringLiteral(" メジャー"), QStringLiteral(" マイナー")};
const QStringList TreatmentEntries = {QStringLiteral(" ミクソリディアン"), QStringLiteral(" コンデミ"),
                                      QStringLiteral(" オルタード"), QStringLiteral(" ホールトーン"),
                                      QStringLiteral(" Ⅱ♭７")};

} // namespace

StudyFrame::StudyFrame(ControlPanel& controls, QMenu& playMenu, QWidget& surface,
                       std::function<void()> redraw)
    : controls_(controls), playMenu_(playMenu), surface_(surface), redraw_(std::move(redraw)) {}

void StudyFrame::fillLists(const Settings& s) {
    ControlPanel& c = controls_;
    {
        const QSignalBlocker block(c.studyTypeList);
        c.studyTypeList->clear();
        c.studyTypeList->addItems(StudyTypeEntries);
        c.studyTypeList->addItem(QString());
        if (!s.UserFilePath.empty()) nameUserEntry(s.UserFilePath);
        c.studyTypeList->setCurrentIndex(-1);
    }
    const QSignalBlocker blockKeyMode(c.keyModeList);
    const QSignalBlocker blockTreatment(c.treatmentList);
    c.keyModeList->clear();
    c.keyModeList->addItems(KeyModeEntries);
    c.keyModeList->setCurrentIndex(s.IIVIMode[0] >= 0 && s.IIVIMode[0] < 2 ? s.IIVIMode[0] : 0);
    c.treatmentList->clear();
    c.treatmentList->addItems(TreatmentEntries);
    c.treatmentList->setCurrentIndex(s.IIVIMode[1] >= 0 && s.IIVIMode[1] < 5 ? s.IIVIMode[1] : 0);
}

void StudyFrame::nameUserEntry(const std::string& path) {
    const std::string base = PathPart(path, path_part::BaseName);
    const QSignalBlocker block(controls_.studyTypeList);
    controls_.studyTypeList->setItemText(study_type::UserPhrase,
                                         NarrowText(QString::fromStdString(base)) + QLatin1Char(' '));
}

void StudyFrame::showRowsFor(int studyType) {
    ControlPanel& c = controls_;
    c.favouriteBox->hide();
    playMenu_.setEnabled(false);
    const bool pattern = studyType == study_type::IIVIPattern;
    const bool phrase = studyType >= study_type::IIVIPhrase;
    for (QWidget* w : {static_cast<QWidget*>(c.keyModeList), static_cast<QWidget*>(c.treatmentList),
                       static_cast<QWidget*>(c.keyModeLabel), static_cast<QWidget*>(c.treatmentLabel)})
        w->setVisible(pattern);
    c.upDownBox->setVisible(!pattern && !phrase);
    if (phrase) {
        playMenu_.setEnabled(true);
        c.favouriteBox->show();
    }
}

void StudyFrame::listItems(const QStringList& entries) {
    QComboBox* list = controls_.itemList;
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(entries);
    list->setCurrentIndex(-1);
}

int StudyFrame::shownItem() const {
    return controls_.itemList->currentIndex();
}

int StudyFrame::itemCount() const {
    return controls_.itemList->count();
}

void StudyFrame::markItem(int index) {
    const QSignalBlocker block(controls_.itemList);
    controls_.itemList->setCurrentIndex(index);
}

void StudyFrame::showFavourite(bool on) {
    controls_.favouriteBox->setChecked(on);
}

void StudyFrame::showKeyboardOptions(bool shown) {
    ControlPanel& c = controls_;
    for (QCheckBox* box : {c.keyboardRootBox, c.concertPitchBox, c.entryDisplayBox})
        box->setVisible(shown);
    surface_.update();
}

} // namespace orbel
