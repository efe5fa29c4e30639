// The main window's settings controls bound to the settings model, both ways.
// Thread: the window's.

#include "ui/controls_binding.h"

#include "ui/control_panel.h"
#include "ui/main_menus.h"
#include "ui/play_controller.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <utility>

namespace orbel {

namespace {

// The repeat count list offers 1 to this many.
static constexpr int RepeatChoices = 20;

} // namespace

ChangeEffects EffectsOf(SettingsFieldId field) {
    ChangeEffects effects;
    // The views switched and the entry display are drawn from a new build, the instruments sent again; the
    // direction of a scale or a chord only wants a new build.
    if (field == FieldId<&Settings::EntryDisplay> || field == FieldId<&Settings::ShowScore> ||
        field == FieldId<&Settings::ShowKeyboard>) {
        effects.programChanges = true;
        effects.rebuild = true;
    } else if (field == FieldId<&Settings::UpDown>) {
        effects.rebuild = true;
    }
    effects.live = IsLiveField(field);
    return effects;
}

ControlsBinding::ControlsBinding(ControlPanel& controls, ViewMenuItems viewItems, SettingsModel& model,
                                 PlayController& play, std::function<void(ChangeEffects)> follow,
                                 QObject* parent)
    : QObject(parent),
      controls_(controls), switches_{{{controls.keyboardRootBox, &Settings::KeyboardSetsRoot},
                                      {controls.repeatBox, &Settings::RepeatOn},
                                      {controls.concertPitchBox, &Settings::ConcertPitchPlay},
                                      {controls.entryDisplayBox, &Settings::EntryDisplay},
                                      {controls.swingBox, &Settings::SwingOn},
                                      {controls.upDownBox, &Settings::UpDown}}},
      viewItems_{{{viewItems.score, &Settings::ShowScore},
                  {viewItems.diagram, &Settings::ShowDiagram},
                  {viewItems.keyboard, &Settings::ShowKeyboard}}},
      model_(model), play_(play), follow_(std::move(follow)) {
    connect(&model_, &SettingsModel::changed, this, &ControlsBinding::changed);

    ControlPanel& c = controls_;
    SettingsModel& m = model_;
    connect(c.repeatCountList, &QComboBox::currentIndexChanged, this, [&m](int index) {
        if (index >= 0) m.set<&Settings::RepeatCount>(static_cast<std::int16_t>(index + 1));
    });
    connect(c.tempoBar, &QScrollBar::valueChanged, this, &ControlsBinding::tempoBarMoved);
    connect(c.tempoBox, &QLineEdit::editingFinished, this, &ControlsBinding::tempoTyped);

    for (auto [box, member] : switches_)
        connect(box, &QCheckBox::clicked, this, [&m, member = member](bool on) { m.set(member, on); });
    for (int i = 0; i < 4; ++i) {
        connect(c.progressionOptions[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [&m, i] { m.set<&Settings::RootProgression>(static_cast<std::int16_t>(i)); });
    }
    // The menu's check follows the setting, and the views are drawn again.
    connect(viewItems.score, &QAction::triggered, this,
            [&m] { m.set<&Settings::ShowScore>(!m.settings().ShowScore); });
    connect(viewItems.keyboard, &QAction::triggered, this,
            [&m] { m.set<&Settings::ShowKeyboard>(!m.settings().ShowKeyboard); });
}

void ControlsBinding::showAll() {
    {
        const QSignalBlocker block(controls_.repeatCountList);
        controls_.repeatCountList->clear();
        for (int n = 1; n <= RepeatChoices; ++n)
            controls_.repeatCountList->addItem(QStringLiteral("%1 回").arg(n));
    }
    ForEachSettingsField([this](const auto&, auto index) { show(SettingsFieldId(decltype(index)::value)); });
}

void ControlsBinding::changed(SettingsFieldId field) {
    show(field);
    follow_(EffectsOf(field));
}

void ControlsBinding::show(SettingsFieldId field) {
    ControlPanel& c = controls_;
    const Settings& s = model_.settings();
    for (auto [box, member] : switches_)
        if (SettingsFieldOf(member) == field) box->setChecked(s.*member);
    for (auto [item, member] : viewItems_)
        if (SettingsFieldOf(member) == field) item->setChecked(s.*member);

    if (field == FieldId<&Settings::Tempo>) {
        c.tempoBox->setText(QString::number(s.Tempo));
        if (!tempoTyped_) {
            const QSignalBlocker block(c.tempoBar);
            c.tempoBar->setValue(s.Tempo);
        }
    } else if (field == FieldId<&Settings::RepeatCount> && c.repeatCountList->count() > 0) {
        // The list offers up to 20; a larger stored count shows as 20 and plays as stored.
        const QSignalBlocker block(c.repeatCountList);
        c.repeatCountList->setCurrentIndex(std::clamp<int>(s.RepeatCount - 1, 0, RepeatChoices - 1));
    } else if (field == FieldId<&Settings::RootProgression> && s.RootProgression >= 0 &&
               s.RootProgression < 4) {
        c.progressionOptions[static_cast<std::size_t>(s.RootProgression)]->setChecked(true);
    }
}

void ControlsBinding::tempoBarMoved(int value) {
    // The play controller tells the user's move from the bar following the ramp; the box follows the model.
    play_.tempoChosen(value);
    model_.set<&Settings::Tempo>(static_cast<std::int16_t>(value));
}

void ControlsBinding::tempoTyped() {
    const int tempo = play_.tempoTyped(controls_.tempoBox->text());
    // The bar stays where it is, and the box shows what plays.
    tempoTyped_ = true;
    model_.set<&Settings::Tempo>(static_cast<std::int16_t>(tempo));
    tempoTyped_ = false;
    controls_.tempoBox->setText(QString::number(tempo));
}

} // namespace orbel
