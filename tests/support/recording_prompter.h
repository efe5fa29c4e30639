#pragma once
// A prompter for tests: records every text and answers questions from a queue.

#include "app/prompter.h"

#include <QStringList>
#include <deque>
#include <optional>

namespace orbel::testing {

class RecordingPrompter : public Prompter {
public:
    void message(const QString& text, PromptIcon icon = PromptIcon::None) override {
        messages.append(text);
        icons.push_back(icon);
    }
    bool askYesNo(const QString& text) override {
        questions.append(text);
        if (answers.empty()) return defaultAnswer;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::optional<QString> chooseFileToOpen(const QString& folder, const QString& filter) override {
        fileFolders.append(folder);
        fileFilters.append(filter);
        return chosenFile;
    }

    QStringList messages;
    std::optional<QString> chosenFile; // what the open dialog gives
    QStringList fileFolders;
    QStringList fileFilters;
    std::deque<PromptIcon> icons;
    QStringList questions;
    std::deque<bool> answers;
    bool defaultAnswer = true;
};

} // namespace orbel::testing
