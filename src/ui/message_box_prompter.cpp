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

} // namespace

void MessageBoxPrompter::message(const QString& text, PromptIcon icon) {
    QMessageBox box(ToQtIcon(icon), captions::ProgramName, text, QMessageBox::Ok, parent_);
    box.exec();
}

bool MessageBoxPrompter::askYesNo(const QString& text) {
    QMessageBox box(QMessageBox::Question, captions::ProgramName, text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> MessageBoxPrompter::chooseFileToOpen(const QString& folder, const QString& filter) {
    const QString file = QFileDialog::getOpenFileName(parent_, QString(), folder, filter);
    if (file.isEmpty()) return std::nullopt;
    return file;
}

std::optional<std::uint32_t> MessageBoxPrompter::chooseColour(std::uint32_t initial) {
    const QColor chosen = QColorDialog::getColor(FromBgr(initial), parent_);
    if (!chosen.isValid()) return std::nullopt;
    return ToBgr(chosen.rgb());
}

} // namespace orbel
