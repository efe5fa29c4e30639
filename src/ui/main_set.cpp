#include "ui/main_set.h"

#include "app/settings_model.h"
#include "ui/center_form.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace orbel {

MainSet::MainSet(SettingsModel& model, QWidget* parent)
    // A tool window that stays in front of the main window while a performance runs.
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), model_(model) {
    setObjectName(QStringLiteral("MainSet"));
    setWindowTitle(QStringLiteral("補足設定"));
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("マークした項目の音が出ます"), this);
    label->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(label);

    const struct {
        const char* name;
        QString caption;
        bool Settings::*field;
    } switches[] = {
        {"Check7", QStringLiteral("クリック音"), &Settings::ClickOn},
        {"Check8", QStringLiteral("カウントイン"), &Settings::CountInOn},
        {"Check9", QStringLiteral("伴奏"), &Settings::AccompanimentOn},
        {"Check10", QStringLiteral("旋律"), &Settings::MelodyOn},
    };
    for (std::size_t i = 0; i < switches_.size(); ++i) {
        const auto& entry = switches[i];
        auto* box = new QCheckBox(entry.caption, this);
        box->setObjectName(QString::fromLatin1(entry.name));
        switches_[i] = {box, entry.field};
        connect(box, &QCheckBox::toggled, this,
                [this, field = entry.field](bool on) { model_.set(field, on); });
        layout->addWidget(box);
    }

    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("Command1"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(close);

    connect(&model_, &SettingsModel::changed, this, &MainSet::showSwitches);

    adjustSize();
    CenterForm(*this);
}

void MainSet::showSwitches() {
    for (const auto& [box, field] : switches_) {
        const QSignalBlocker block(box);
        box->setChecked(model_.settings().*field);
    }
}

void MainSet::showEvent(QShowEvent* event) {
    showSwitches();
    QDialog::showEvent(event);
}

} // namespace orbel
