#include "theory/note_token.h"

#include "theory/numbers.h"

#include <array>
#include <limits>
#include <string>

namespace orbel {

namespace {

struct Letter {
    char ch;
    int pitchClass;
};

// The search order matters: a token or symbol holding several letters takes the first of these.
static constexpr std::array<Letter, 7> NoteLetters{{
    {'C', 0},
    {'D', 2},
    {'E', 4},
    {'F', 5},
    {'G', 7},
    {'A', 9},
    {'B', 11},
}};

static constexpr int TripletCodeOffset = 300;

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// The character at 1-based position, or NUL past either end.
char CharAt(std::string_view text, int position) {
    if (position < 1 || static_cast<std::size_t>(position) > text.size()) return '\0';
    return text[static_cast<std::size_t>(position) - 1];
}

// The first note letter in search order and its 1-based position; position 0 when there is none.
Letter FindNoteLetter(std::string_view text, int& position) {
    for (const Letter& letter : NoteLetters) {
        const auto found = text.find(letter.ch);
        if (found != std::string_view::npos) {
            position = static_cast<int>(found) + 1;
            return letter;
        }
    }
    position = 0;
    return {'\0', 0};
}

// Pitch of the first note of octave digit 0..6; other characters add nothing.
int OctaveOffset(char digit) {
    if (digit < '0' || digit > '6') return 0;
    return 12 * (digit - '1');
}

std::string WithoutChar(std::string_view text, char removed) {
    std::string result;
    result.reserve(text.size());
    for (const char ch : text) {
        if (ch != removed) result.push_back(ch);
    }
    return result;
}

} // namespace

int ParseNoteToken(std::string_view token, int& pitch, bool& isRest) {
    pitch = 0;
    isRest = false;
    const std::string_view text = TrimBlanks(token);

    int letterPosition = 0;
    const Letter letter = FindNoteLetter(text, letterPosition);
    if (letterPosition == 0) {
        const auto rest = text.find('R');
        if (rest == std::string_view::npos) return 0;
        isRest = true;
        letterPosition = static_cast<int>(rest) + 1;
    }

    pitch = letter.pitchClass;
    if (letterPosition >= 2) pitch += OctaveOffset(CharAt(text, letterPosition - 1));

    // A tie mark shifts the whole token one place to the right.
    const int accidentalPosition = text.find('=') != std::string_view::npos ? 4 : 3;
    const char accidental = CharAt(text, accidentalPosition);
    if (accidental == '#') {
        pitch += 1;
        return accidentalPosition;
    }
    if (accidental == 'b') {
        pitch -= 1;
        return accidentalPosition;
    }
    return letterPosition;
}

int ParseChordRoot(std::string_view symbol, int& rootClass) {
    const std::string_view text = TrimBlanks(symbol);
    int letterPosition = 0;
    const Letter letter = FindNoteLetter(text, letterPosition);
    rootClass = letter.pitchClass;
    if (letterPosition == 0) return 0;

    const char accidental = CharAt(text, 2);
    if (accidental == '#') {
        rootClass += 1;
        return 2;
    }
    if (accidental == 'b') {
        rootClass -= 1;
        return 2;
    }
    return letterPosition;
}

int DurationTicks(int code) {
    switch (code) {
    case 2:
        return 3;
    case 3:
        return 6;
    case 4:
        return 12;
    case 5:
        return 24;
    case 6:
        return 48;
    case 7:
        return 96;
    case TripletCodeOffset + 2:
        return 2;
    case TripletCodeOffset + 3:
        return 4;
    case TripletCodeOffset + 4:
        return 8;
    case TripletCodeOffset + 5:
        return 16;
    default:
        return 0;
    }
}

int ReadDurationCode(std::string_view text) {
    if (text.find('.') != std::string_view::npos) {
        const int plain = DurationTicks(LeadingWholeNumber(WithoutChar(text, '.')));
        return RoundHalfEven(plain * 1.5);
    }
    if (text.find('T') != std::string_view::npos) {
        const int code = LeadingWholeNumber(WithoutChar(text, 'T'));
        // A number too large to take the offset is no duration either.
        if (code > std::numeric_limits<int>::max() - TripletCodeOffset) return 0;
        return DurationTicks(code + TripletCodeOffset);
    }
    return DurationTicks(LeadingWholeNumber(text));
}

} // namespace orbel
