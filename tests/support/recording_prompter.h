#pragma once
// A prompter for tests: records every text and answers questions from a queue.

#include "app/prompter.h"

#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

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

    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override {
        colourStarts.push_back(initial);
        if (colours.empty()) return std::nullopt;
        const std::optional<std::uint32_t> colour = colours.front();
        colours.pop_front();
        return colour;
    }

    QStringList messages;
    std::deque<std::optional<std::uint32_t>> colours; // what the colour chooser gives, in turn
    std::vector<std::uint32_t> colourStarts;
    std::optional<QString> chosenFile; // what the open dialog gives
    QStringList fileFolders;
    QStringList fileFilters;
    std::deque<PromptIcon> icons;
    QStringList questions;
    std::deque<bool> answers;
    bool defaultAnswer = true;
};

} // namespace orbel::testing
