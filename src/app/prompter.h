#pragma once
// Every message box and question of the program goes through this interface,
// so that tests can answer them and check the texts shown.

#include <QString>
#include <cstdint>
#include <optional>

namespace orbel {

enum class PromptIcon { None, Information, Exclamation, Critical, Question };

class Prompter {
public:
    virtual ~Prompter() = default;
    // A message with an OK button.
    virtual void message(const QString& text, PromptIcon icon = PromptIcon::None) = 0;
    // A question with Yes and No buttons; true means Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // A file to open, starting in folder and offering the files filter names ("ユーザデータ(*.txt)");
    // nothing when cancelled. Where no one can be asked, nothing is chosen.
    virtual std::optional<QString> chooseFileToOpen(const QString& /*folder*/, const QString& /*filter*/) {
        return std::nullopt;
    }
    // A colour, starting from initial; both 0x00BBGGRR. Nothing when cancelled or where no one can be asked.
    virtual std::optional<std::uint32_t> chooseColour(std::uint32_t /*initial*/) { return std::nullopt; }
};

} // namespace orbel
