#include "theory/sequence_text.h"

namespace orbel {

namespace {

bool IsContinuationByte(unsigned char byte) {
    return (byte & 0xC0U) == 0x80U;
}

// Number of bytes the sequence starting at text[pos] takes: its declared length when all its continuation
// bytes are there, else 1.
std::size_t SequenceLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 1;
    if (lead >= 0xF0U && lead <= 0xF4U) {
        length = 4;
    } else if (lead >= 0xE0U) {
        length = 3;
    } else if (lead >= 0xC2U) {
        length = 2;
    }
    if (lead >= 0xF5U || pos + length > text.size()) return 1;
    for (std::size_t k = 1; k < length; ++k) {
        if (!IsContinuationByte(static_cast<unsigned char>(text[pos + k]))) return 1;
    }
    return length;
}

} // namespace

std::vector<std::string_view> SplitCharacters(std::string_view text) {
    std::vector<std::string_view> characters;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = SequenceLength(text, pos);
        characters.push_back(text.substr(pos, length));
        pos += length;
    }
    return characters;
}

std::string CutToCharacters(std::string_view text, std::size_t maxChars) {
    std::size_t pos = 0;
    for (std::size_t taken = 0; taken < maxChars && pos < text.size(); ++taken) {
        pos += SequenceLength(text, pos);
    }
    return std::string(text.substr(0, pos));
}

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string SequenceChordText(std::string_view symbol) {
    return CutToCharacters(symbol, sequence_limits::ChordChars);
}

} // namespace orbel
