#include "selector_window.h"

#include "selector_texts.h"

#include "datafiles/atomic_save.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace orbel {

namespace {

static constexpr int MinimumListWidth = 420;

QString ChoiceText(const MidiBackendChoice& choice) {
    return QString::fromStdString(FormatMidiBackendChoice(choice));
}

} // namespace

SelectorWindow::SelectorWindow(QString programFolder, OutputList list, Prompter& prompter,
                               OutputMaker makeOutput, QWidget* parent)
    : QDialog(parent), programFolder_(std::move(programFolder)), list_(std::move(list)), prompter_(prompter),
      makeOutput_(std::move(makeOutput)), player_(this) {
    setObjectName(QStringLiteral("midiselector"));
    player_.setObjectName(QStringLiteral("scalePlayer"));
    setWindowTitle(selector_texts::Title);

    auto* layout = new QVBoxLayout(this);
    auto* prompt =
        new QLabel(list_.entries.empty() ? selector_texts::NothingFound : selector_texts::Prompt, this);
    prompt->setObjectName(QStringLiteral("promptLabel"));
    layout->addWidget(prompt);

    entries_ = new QListWidget(this);
    entries_->setObjectName(QStringLiteral("entryList"));
    entries_->setMinimumWidth(MinimumListWidth);
    for (std::size_t i = 0; i < list_.entries.size(); ++i) {
        QString label = list_.entries[i].label;
        if (list_.current == i) label += selector_texts::InUseMark;
        entries_->addItem(label);
    }
    layout->addWidget(entries_);

    const QStringList lines = notes();
    auto* note = new QLabel(lines.join(QLatin1Char('\n')), this);
    note->setObjectName(QStringLiteral("noteLabel"));
    note->setWordWrap(true);
    note->setVisible(!lines.isEmpty());
    layout->addWidget(note);

    auto* buttons = new QHBoxLayout;
    test_ = new QPushButton(selector_texts::Test, this);
    test_->setObjectName(QStringLiteral("testButton"));
    test_->setAutoDefault(false);
    ok_ = new QPushButton(selector_texts::Ok, this);
    ok_->setObjectName(QStringLiteral("okButton"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(selector_texts::Cancel, this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    buttons->addWidget(test_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(test_, &QPushButton::clicked, this, &SelectorWindow::testClicked);
    connect(ok_, &QPushButton::clicked, this, &SelectorWindow::okClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(entries_, &QListWidget::itemSelectionChanged, this, &SelectorWindow::selectionChanged);
    // A row that is not the one in use is never preselected: O K at once must not change the output.
    if (list_.current) entries_->setCurrentRow(static_cast<int>(*list_.current));
    selectionChanged();
}

std::optional<std::size_t> SelectorWindow::selectedEntry() const {
    const QList<QListWidgetItem*> selected = entries_->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    const int row = entries_->row(selected.front());
    if (row < 0 || static_cast<std::size_t>(row) >= list_.entries.size()) return std::nullopt;
    return static_cast<std::size_t>(row);
}

QStringList SelectorWindow::notes() const {
    QStringList lines;
    const bool anyFont = std::any_of(list_.entries.begin(), list_.entries.end(), [](const OutputEntry& e) {
        return e.choice.backend == MidiBackend::Synthesizer;
    });
    const bool anyPort = std::any_of(list_.entries.begin(), list_.entries.end(), [](const OutputEntry& e) {
        return e.choice.backend == MidiBackend::AlsaPort;
    });
    if (!anyFont)
        lines.append(selector_texts::NoSoundFont.arg(QString::fromStdString(list_.soundFontFolder.string())));
    if (!anyPort)
        lines.append(list_.portProblem.empty() ? selector_texts::NoPorts : selector_texts::NoSequencer);
    if (!list_.current && !list_.entries.empty())
        lines.append(selector_texts::InUseNotListed.arg(ChoiceText(list_.inUse)));
    if (qEnvironmentVariableIsSet(midi_backend::OverrideVariable))
        lines.append(selector_texts::OverriddenBy.arg(QLatin1String(midi_backend::OverrideVariable)));
    return lines;
}

void SelectorWindow::selectionChanged() {
    const bool chosen = selectedEntry().has_value();
    test_->setEnabled(chosen);
    ok_->setEnabled(chosen);
}

void SelectorWindow::testClicked() {
    const std::optional<std::size_t> entry = selectedEntry();
    if (!entry) return;
    // One output at a time: a port may take only one client, and two synthesizers would sound together.
    player_.stop();
    std::unique_ptr<MidiOutput> output = makeOutput_(list_.entries[*entry].choice);
    std::string error;
    if (!output || !output->open(error)) {
        prompter_.message(selector_texts::CannotOpen.arg(QString::fromStdString(error)),
                          PromptIcon::Exclamation);
        return;
    }
    const std::string notice = output->openNotice();
    if (!notice.empty())
        prompter_.message(selector_texts::PlayingInstead.arg(QString::fromStdString(notice)),
                          PromptIcon::Information);
    player_.play(std::move(output));
}

void SelectorWindow::okClicked() {
    const std::optional<std::size_t> entry = selectedEntry();
    if (!entry) return;
    const QString path = programFolder_ + QLatin1Char('/') + QLatin1String(midi_backend::ChoiceFileName);
    const QByteArray line =
        QByteArray::fromStdString(FormatMidiBackendChoice(list_.entries[*entry].choice)) + '\n';
    // Written whole or not at all, so the trainer never starts on half a line; like the trainer's own
    // files, never written into a device or a pipe put in its place.
    errno = 0;
    if (!WriteFileAtomic(path, line)) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno != 0 ? errno : EIO));
        prompter_.message(selector_texts::CannotWrite.arg(path, reason), PromptIcon::Exclamation);
        return;
    }
    player_.stop();
    accept();
}

} // namespace orbel
