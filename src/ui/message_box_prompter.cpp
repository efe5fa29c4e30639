#include "ui/message_box_prompter.h"

#include "ui/captions.h"
#include "views/colour.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace orbel {

namespace {

QMessageBox::Icon ToQtIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case PromptIcon::Critical:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A message or a chooser stands above the program's tool windows that stay in front (補足設定, the tour),
// which would otherwise hide what waits for an answer.
void KeepInFront(QWidget& dialog) {
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
}

} // namespace

void MessageBoxPrompter::message(const QString& text, PromptIcon icon) {
    QMessageBox box(ToQtIcon(icon), captions::ProgramName, text, QMessageBox::Ok, parent_);
    KeepInFront(box);
    box.exec();
}

bool MessageBoxPrompter::askYesNo(const QString& text) {
    QMessageBox box(QMessageBox::Question, captions::ProgramName, text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    box.setDefaultButton(QMessageBox::Yes);
    KeepInFront(box);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> MessageBoxPrompter::chooseFileToOpen(const QString& folder, const QString& filter) {
    QFileDialog dialog(parent_, QString(), folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    KeepInFront(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<std::uint32_t> MessageBoxPrompter::chooseColour(std::uint32_t initial) {
    QColorDialog dialog(FromBgr(initial), parent_);
    KeepInFront(dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return ToBgr(dialog.selectedColor().rgb());
}

} // namespace orbel
