#include "ui/tour/frm_introduce.h"

#include "app/settings_model.h"
#include "sound/midi1.h"
#include "ui/center_form.h"
#include "ui/tour/tour_host.h"
#include "ui/tour/tour_stage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace orbel {

namespace {
static constexpr int OfferWaitMs = 1000;
static constexpr int TextWidth = 420;
static constexpr int TextLines = 4;
static constexpr double TitleScale = 1.4;
static constexpr double TextScale = 1.2;
static constexpr int OnTopMs = 500;
// How often a held wait looks whether it may end.
static constexpr int HoldPollMs = 50;
} // namespace

frmIntroduce::frmIntroduce(TourHost& host)
    // A tool window above the main window: the tour explains while the main window is being driven.
    : QDialog(&host.window(), Qt::Tool | Qt::WindowStaysOnTopHint), host_(host),
      stage_(std::make_unique<TourStage>(host)) {
    setObjectName(QStringLiteral("frmIntroduce"));
    setWindowTitle(QStringLiteral("デモンストレーション"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont titleFont = Label2->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * TitleScale);
    Label2->setFont(titleFont);
    Label2->setStyleSheet(QStringLiteral("color: #FF0000;"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont textFont = Label1->font();
    textFont.setPointSizeF(textFont.pointSizeF() * TextScale);
    Label1->setFont(textFont);
    Label1->setWordWrap(true);
    Label1->setFixedWidth(TextWidth);
    Label1->setMinimumHeight(Label1->fontMetrics().lineSpacing() * TextLines);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Check1 = new QCheckBox(QStringLiteral("次回から表示しない"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Command3 = new QPushButton(QStringLiteral("開始"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command4 = new QPushButton(QStringLiteral("終了"), this);
    Command4->setObjectName(QStringLiteral("Command4"));
    connect(Command3, &QPushButton::clicked, this, &frmIntroduce::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmIntroduce::Command4_Click);
    connect(Check1, &QCheckBox::clicked, this,
            [this](bool on) { host_.settingsModel().set<&Settings::HideDemoOffer>(on); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Check1);
    buttons->addStretch();
    buttons->addWidget(Command3);
    buttons->addWidget(Command4);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label2);
    layout->addWidget(Label1, 1);
    layout->addLayout(buttons);

    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &frmIntroduce::next);
    Timer1.setInterval(OnTopMs);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        if (!running_) raise();
    });
    Timer1.start();
}

frmIntroduce::~frmIntroduce() {
    timer_.stop();
    // Closed in the middle of a chapter: a note of the chime or a pressed key may still sound.
    if (!steps_.empty()) host_.midi().MidiAllNotesOff(midi_channels::Melody);
    steps_.clear();
}

void frmIntroduce::start() {
    stage_->recordPlace();
    adjustSize();
    CenterForm(*this);
    show();
    Check1->setChecked(false);
    chapter_ = 1;
    Command3->setFocus();
    TourScript greeting;
    greeting.push_back({[this] { ShowSetumei(tour_texts::OfferTitle, tour_texts::OfferText); }, OfferWaitMs});
    greeting.push_back({[this] { stage_->restorePlace(); }, 0});
    AppendChime(greeting, *stage_);
    // The buttons wait for the chime, so that a chapter never cuts it off.
    Command3->setEnabled(false);
    Command4->setEnabled(false);
    run(std::move(greeting), [this] {
        Command3->setEnabled(true);
        Command4->setEnabled(true);
        Command3->setFocus();
    });
}

void frmIntroduce::ShowSetumei(const QString& title, const QString& text) {
    raise();
    Label2->setText(title);
    Label1->setText(text);
}

void frmIntroduce::Command3_Click() {
    if (running_) return;
    running_ = true;
    Command3->setEnabled(false);
    Command4->setEnabled(false);
    const int chapter = chapter_;
    // After the last chapter the tour begins again.
    if (chapter == tour_chapters::Count) chapter_ = 0;
    run(ChapterScript(chapter, *this, *stage_), [this] { chapterEnded(); });
}

void frmIntroduce::chapterEnded() {
    running_ = false;
    stage_->tidyUp();
    Command3->setEnabled(true);
    Command4->setEnabled(true);
    if (chapter_ != 0)
        Command3->setFocus();
    else
        Command4->setFocus();
    ++chapter_;
}

void frmIntroduce::Command4_Click() {
    host_.settingsModel().set<&Settings::HideDemoOffer>(Check1->isChecked());
    close();
}

void frmIntroduce::run(TourScript script, std::function<void()> finished) {
    steps_.assign(std::make_move_iterator(script.begin()), std::make_move_iterator(script.end()));
    finished_ = std::move(finished);
    next();
}

void frmIntroduce::next() {
    if (holdWhile_ && holdWhile_()) {
        timer_.start(static_cast<int>(std::lround(HoldPollMs * waitScale_)));
        return;
    }
    holdWhile_ = {};
    // Steps without a wait follow one another at once; a wait hands the time back to the event loop.
    while (!steps_.empty()) {
        TourStep step = std::move(steps_.front());
        steps_.pop_front();
        if (step.act) step.act();
        if (step.waitMs > 0 || step.holdWhile) {
            holdWhile_ = std::move(step.holdWhile);
            timer_.start(static_cast<int>(std::lround(step.waitMs * waitScale_)));
            return;
        }
    }
    if (auto finished = std::move(finished_)) {
        finished_ = {};
        finished();
    }
}

QDialog* OpenTour(TourHost& host) {
    auto* tour = new frmIntroduce(host);
    // Programs that drive the trainer (its acceptance tests, a recorded demonstration) may hurry the
    // explanations; the music keeps its own time.
    bool paced = false;
    const double pace = qEnvironmentVariable(tour_pace::Variable).toDouble(&paced);
    if (paced && pace >= tour_pace::Fastest && pace <= 1) tour->setWaitScale(pace);
    tour->start();
    return tour;
}

} // namespace orbel
