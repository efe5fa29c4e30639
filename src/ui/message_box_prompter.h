#pragma once
// Message boxes and questions shown to the user, parented to a window when one is open.

#include "app/prompter.h"

#include <QPointer>
#include <QWidget>

namespace orbel {

class MessageBoxPrompter : public Prompter {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    void message(const QString& text, PromptIcon icon = PromptIcon::None) override;
    bool askYesNo(const QString& text) override;
    std::optional<QString> chooseFileToOpen(const QString& folder, const QString& filter) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace orbel
