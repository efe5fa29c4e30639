#include "ui/frm_colset.h"

#include "app/settings_model.h"

#include "ui/center_form.h"
#include "views/colour.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orbel {

namespace {

static constexpr int BoxSize = 28;
// Boxes 0..4 mark the circle diagram, 5 and 6 the keyboard; the keyboard's pair stands in a column of its
// own.
static constexpr int KeyboardBoxes = 5;
static constexpr std::array<const char*, settings_limits::ColourSwatches> BoxCaptions{
    "円の色", "多角形の色",           "ルートの色",      "コードの要素",
    "ひく音", "キーボードエントリー", "キーボードヒット"};

} // namespace

FrmColset::FrmColset(SettingsModel& model, Prompter& prompter, std::function<void()> saved, QWidget* parent)
    : QDialog(parent), model_(model), saved_(std::move(saved)), prompter_(prompter) {
    setObjectName(QStringLiteral("frmColset"));
    setWindowTitle(QStringLiteral("カラー設定"));
    // Built once and shown again (start): closing only hides it.

    auto* grid = new QGridLayout;
    for (int i = 0; i < settings_limits::ColourSwatches; ++i) {
        const auto at = static_cast<std::size_t>(i);
        auto* box = new QPushButton(this);
        box->setObjectName(QStringLiteral("Picture1_%1").arg(i));
        box->setFixedSize(BoxSize, BoxSize);
        box->setFlat(true);
        box->setAutoFillBackground(true);
        connect(box, &QPushButton::clicked, this, [this, i] { Picture1_Click(i); });
        boxes_[at] = box;
        const int row = i < KeyboardBoxes ? i : i - KeyboardBoxes;
        const int column = i < KeyboardBoxes ? 0 : 2;
        grid->addWidget(box, row, column);
        grid->addWidget(new QLabel(QString::fromUtf8(BoxCaptions[at]), this), row, column + 1);
    }
    grid->setColumnMinimumWidth(1, 120);

    auto* ok = new QPushButton(QStringLiteral("O K"), this);
    ok->setObjectName(QStringLiteral("Command2"));
    connect(ok, &QPushButton::clicked, this, &FrmColset::Command2_Click);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("Command1"));
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    Form_Load();
    adjustSize();
    CenterForm(*this);
}

void FrmColset::Form_Load() {
    colours_ = model_.settings().ViewColour;
    for (int i = 0; i < settings_limits::ColourSwatches; ++i)
        showBox(i);
}

void FrmColset::start() {
    if (!isVisible()) {
        Form_Load();
        CenterForm(*this);
    }
    show();
    raise();
    activateWindow();
}

void FrmColset::showBox(int index) {
    QPushButton* box = boxes_.at(static_cast<std::size_t>(index));
    // A style sheet, not the palette: desktop styles may ignore a flat button's palette.
    box->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;")
                           .arg(FromBgr(boxColour(index)).name()));
}

void FrmColset::Picture1_Click(int index) {
    if (index < 0 || index >= settings_limits::ColourSwatches) return;
    if (const std::optional<std::uint32_t> chosen = prompter_.chooseColour(boxColour(index))) {
        colours_[static_cast<std::size_t>(index)] = *chosen;
        showBox(index);
    }
}

void FrmColset::Command2_Click() {
    model_.set<&Settings::ViewColour>(colours_);
    if (saved_) saved_();
    close();
}

} // namespace orbel
