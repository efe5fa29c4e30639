#include "ui/practice/frm_practice.h"

#include "app/study_session.h"
#include "datafiles/named_output.h"
#include "ui/practice/practice.h"
#include "ui/practice/practice_texts.h"
#include "ui/practice/score_text.h"
#include "ui/practice/session_chart.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orbel {

namespace {

namespace t = practice_texts;

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QSpinBox* Spin(QWidget* parent, const char* name, int low, int high, const char* suffix) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setSuffix(Text(suffix));
    return box;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* text) {
    auto* box = new QCheckBox(Text(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

frmPractice::frmPractice(Practice& practice, QWidget* parent) : QDialog(parent), practice_(practice) {
    setObjectName(QStringLiteral("frmPractice"));
    setWindowTitle(Text(t::Title));
    setModal(false);
    auto* page = new QVBoxLayout(this);
    buildRamp(*page);
    buildCheck(*page);
    buildChart(*page);
    problem_ = new QLabel(this);
    problem_->setStyleSheet(QStringLiteral("color: #b00000"));
    problem_->hide();
    page->addWidget(problem_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Text(t::Close), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    page->addWidget(buttons);

    showSettings();
    connect(&practice_, &Practice::scored, this, &frmPractice::scored);
    connect(&practice_, &Practice::sessionCleared, this, [this] {
        chart_->setScores({});
        lastScore_->clear();
    });
    connect(&practice_, &Practice::inputChanged, this, [this] {
        fillInputs();
        showInputStatus();
    });
}

void frmPractice::buildRamp(QVBoxLayout& page) {
    auto* group = new QGroupBox(Text(t::RampGroup), this);
    auto* form = new QFormLayout(group);
    rampOn_ = Check(group, "practiceRampOn", t::RampOn);
    form->addRow(rampOn_);
    auto* row = new QHBoxLayout;
    step_ = Spin(group, "practiceRampStep", ramp_limits::LowestStep, ramp_limits::HighestStep, t::Bpm);
    every_ = Spin(group, "practiceRampEvery", ramp_limits::LowestEvery, ramp_limits::HighestEvery, t::Times);
    ceiling_ = Spin(group, "practiceRampCeiling", tempo_range::Slowest, tempo_range::Fastest, "");
    row->addWidget(every_);
    row->addWidget(new QLabel(Text(t::RampEvery), group));
    row->addWidget(step_);
    row->addWidget(new QLabel(Text(t::RampStep), group));
    row->addWidget(new QLabel(Text(t::RampCeiling), group));
    row->addWidget(ceiling_);
    row->addStretch();
    form->addRow(row);
    restart_ = Check(group, "practiceRampRestart", t::RampRestart);
    reset_ = new QPushButton(Text(t::RampReset), group);
    reset_->setObjectName(QStringLiteral("practiceRampReset"));
    auto* last = new QHBoxLayout;
    last->addWidget(restart_);
    last->addStretch();
    last->addWidget(reset_);
    form->addRow(last);
    page.addWidget(group);

    for (QCheckBox* box : {rampOn_, restart_})
        connect(box, &QCheckBox::toggled, this, &frmPractice::takeSettings);
    for (QSpinBox* box : {step_, every_, ceiling_})
        connect(box, &QSpinBox::valueChanged, this, &frmPractice::takeSettings);
    connect(reset_, &QPushButton::clicked, this, [this] {
        if (practice_.settings().rampStartTempo) emit tempoReset(*practice_.settings().rampStartTempo);
    });
}

void frmPractice::buildCheck(QVBoxLayout& page) {
    auto* group = new QGroupBox(Text(t::CheckGroup), this);
    auto* form = new QFormLayout(group);
    checkOn_ = Check(group, "practiceCheckOn", t::CheckOn);
    form->addRow(checkOn_);
    input_ = new QComboBox(group);
    input_->setObjectName(QStringLiteral("practiceInput"));
    input_->setMinimumContentsLength(24);
    form->addRow(Text(t::InputPort), input_);
    inputStatus_ = new QLabel(group);
    inputStatus_->setObjectName(QStringLiteral("practiceInputStatus"));
    form->addRow(inputStatus_);
    auto* row = new QHBoxLayout;
    window_ = Spin(group, "practiceWindow", static_cast<int>(score_defaults::ShortestWindowMs),
                   static_cast<int>(score_defaults::LongestWindowMs), t::Ms);
    row->addWidget(new QLabel(Text(t::Window), group));
    row->addWidget(window_);
    anyOctave_ = Check(group, "practiceAnyOctave", t::AnyOctave);
    muteMelody_ = Check(group, "practiceMuteMelody", t::MuteMelody);
    row->addWidget(anyOctave_);
    row->addWidget(muteMelody_);
    row->addStretch();
    form->addRow(row);
    page.addWidget(group);

    for (QCheckBox* box : {checkOn_, anyOctave_, muteMelody_})
        connect(box, &QCheckBox::toggled, this, &frmPractice::takeSettings);
    connect(window_, &QSpinBox::valueChanged, this, &frmPractice::takeSettings);
    connect(input_, &QComboBox::activated, this, &frmPractice::takeSettings);
}

void frmPractice::buildChart(QVBoxLayout& page) {
    auto* group = new QGroupBox(Text(t::ChartGroup), this);
    auto* column = new QVBoxLayout(group);
    chart_ = new SessionChart(group);
    chart_->setObjectName(QStringLiteral("practiceChart"));
    chart_->setScores(practice_.session());
    column->addWidget(chart_, 1);
    lastScore_ = new QLabel(group);
    lastScore_->setObjectName(QStringLiteral("practiceLastScore"));
    if (!practice_.session().empty()) lastScore_->setText(ScoreLine(practice_.session().back()));
    column->addWidget(lastScore_);
    auto* row = new QHBoxLayout;
    auto* fresh = new QPushButton(Text(t::NewSession), group);
    fresh->setObjectName(QStringLiteral("practiceNewSession"));
    auto* save = new QPushButton(Text(t::SavePng), group);
    save->setObjectName(QStringLiteral("practiceSavePng"));
    row->addWidget(fresh);
    row->addStretch();
    row->addWidget(save);
    column->addLayout(row);
    page.addWidget(group, 1);
    connect(fresh, &QPushButton::clicked, &practice_, &Practice::newSession);
    connect(save, &QPushButton::clicked, this, &frmPractice::savePicture);
}

void frmPractice::showSettings() {
    showing_ = true;
    const PracticeSettings& p = practice_.settings();
    rampOn_->setChecked(p.rampOn);
    step_->setValue(p.ramp.step);
    every_->setValue(p.ramp.every);
    ceiling_->setValue(p.ramp.ceiling);
    restart_->setChecked(p.ramp.restart);
    reset_->setEnabled(p.rampStartTempo.has_value());
    checkOn_->setChecked(p.checkOn);
    window_->setValue(static_cast<int>(p.scoring.windowMs));
    anyOctave_->setChecked(p.scoring.anyOctave);
    muteMelody_->setChecked(p.muteMelody);
    fillInputs();
    showInputStatus();
    showing_ = false;
}

void frmPractice::fillInputs() {
    const QSignalBlocker block(input_);
    const QStringList names = practice_.inputs();
    input_->clear();
    input_->addItems(names);
    const QString wanted = practice_.settings().inputPort;
    if (const int at = names.indexOf(wanted); at >= 0) input_->setCurrentIndex(at);
    input_->setEnabled(!names.isEmpty());
}

void frmPractice::takeSettings() {
    if (showing_) return;
    PracticeSettings p = practice_.settings();
    p.rampOn = rampOn_->isChecked();
    p.ramp = TempoRamp{step_->value(), every_->value(), ceiling_->value(), restart_->isChecked()};
    p.checkOn = checkOn_->isChecked();
    if (input_->currentIndex() >= 0) p.inputPort = input_->currentText();
    p.scoring.windowMs = window_->value();
    p.scoring.anyOctave = anyOctave_->isChecked();
    p.muteMelody = muteMelody_->isChecked();
    const bool saved = practice_.setSettings(p);
    problem_->setText(
        Text(t::CannotSaveSettings)
            .arg(QDir::toNativeSeparators(
                QDir(practice_.folder()).filePath(QString::fromLatin1(practice_file::FileName)))));
    problem_->setVisible(!saved);
    showInputStatus();
}

void frmPractice::showInputStatus() {
    // Without any keyboard the window says so whether the check is on or not.
    const QString status = practice_.inputStatus();
    inputStatus_->setText(status.isEmpty() && input_->count() == 0 ? Text(t::NoInput) : status);
}

void frmPractice::scored(const RepetitionScore& score) {
    chart_->setScores(practice_.session());
    lastScore_->setText(ScoreLine(score));
}

void frmPractice::savePicture() {
    const QString path = QFileDialog::getSaveFileName(this, Text(t::SavePngTitle), QDir::homePath(),
                                                      QStringLiteral("PNG (*.png)"));
    if (path.isEmpty()) return;
    const QImage image = ChartImage(practice_.session(), chart_->size().expandedTo(QSize(640, 320)));
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    const bool saved = image.save(&png, "PNG") && !WriteNamedOutput(path, png.data());
    problem_->setText(Text(t::CannotSavePng).arg(QDir::toNativeSeparators(path)));
    problem_->setVisible(!saved);
}

} // namespace orbel
